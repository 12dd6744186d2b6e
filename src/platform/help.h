#pragma once
// The help engine: shows the program's help file (HTML kept under the name "TevAuto.hlp") in a
// help window of its own with contents, a keyword index and back/forward. The engine reports a
// missing or unreadable help file itself.

#include <QString>
#include <QStringList>

#include <vector>

class QWidget;

namespace platform {

// One topic of the help file: a heading with its anchor, plus the extra index keywords given in
// the anchor's title attribute ("mot; autre mot").
struct HelpTopic {
    QString anchor;
    QString title;
    int level = 2; // heading level, for the contents tree
    QStringList keywords;
};

struct HelpFile {
    QString html;
    std::vector<HelpTopic> topics;
    QString error; // empty when the file was read
    bool ok() const { return error.isEmpty(); }
};

class Help {
public:
    // The file the commands open; relative names are taken from the current directory at the
    // moment a command runs.
    static void setHelpFile(const QString &path);
    static QString helpFile();

    // The file the commands open: the one set when it exists, otherwise "TevAuto.hlp" in the
    // installed data folder when that one exists (so the program may start in any folder),
    // otherwise the one set, whose absence the engine then reports.
    static QString resolvedFile();
    // The installed data folder: <prefix>/share/tevauto, found from the executable's folder
    // <prefix>/bin. Tests may point it elsewhere (empty: back to that default).
    static QString installedFolder();
    static void setInstalledFolder(const QString &folder);

    static void contents(QWidget *parent);
    // Opens the keyword index with this keyword typed in the search box (empty: nothing typed).
    static void search(QWidget *parent, const QString &keyword);
    static void helpOnHelp(QWidget *parent);
    // The topic with this context number (anchor "contexte<n>").
    static void context(QWidget *parent, int number);
    // The topic with this anchor (F1 on a window or a page).
    static void topic(QWidget *parent, const QString &anchor);

    static HelpFile read(const QString &path);
    static QString contextAnchor(int number);

    // Test mode: no window is shown; each command is recorded as "kind file" or, for context
    // help, "context <n> file" or "topic <anchor> file" (kind is contents, search "<keyword>",
    // howto).
    static void setTestMode(bool on);
    static QStringList calls();
    // The help window when one was opened (null in test mode or before the first command).
    static QWidget *window();
};

} // namespace platform
