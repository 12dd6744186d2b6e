#pragma once
// The program's command line: vehicle files to open at start, --help and --version (answered in
// French on standard output, before any window exists), --new-instance.

#include <QString>
#include <QStringList>

class TMainForm;

namespace commandline {

struct Request {
    enum Action { Run, Help, Version, Error };
    Action action = Run;
    QStringList files; // as given, in order
    bool newInstance = false; // --new-instance: never hand the files to a running program
    QString error;     // for Error: the message for standard error
};

// Arguments without the program's name. --help wins over --version, and both over a mistake,
// so that "tevauto -x --help" still helps. "--" ends the options; "-" alone is a file name.
Request parse(const QStringList &arguments);
// argv[1..] decoded as the system names files, for use before the application object exists.
QStringList rawArguments(int argc, char *argv[]);

QString helpText();
QString versionText();

// Prints what Help, Version and Error ask for and returns the exit status (0, or 2 for Error).
int answer(const Request &request);

// Once the message loop runs, opens each file as the Open command does after its dialog: the
// file's folder becomes current, then a window captioned with the full path loads it.
//
// With TEVAUTO_START_REPORT set in the environment, message boxes are recorded instead of shown,
// and once the files are open the program writes what it loaded (documents, help file, boxes)
// on standard output and ends: status 0, or 1 when a box was shown. The package checks use it.
void openAtStart(TMainForm *frame, const QStringList &files);

// Opens one file as the Open command does after its dialog: the file's folder becomes current
// (and the dialogs'), then a window captioned with the full path loads it. `reuseOpenWindow`:
// a file already open in a window brings that window to the front instead.
void openFile(TMainForm *frame, const QString &file, bool reuseOpenWindow);

// Whether the report above was asked for.
bool startReportAsked();

// The report described above, from the frame's present state.
QString startReport(TMainForm *frame);

} // namespace commandline
