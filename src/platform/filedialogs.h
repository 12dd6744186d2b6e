#pragma once
// Open and save dialogs. Filters are given as "Description|patterns|Description|patterns";
// choosing a file makes its folder the current directory, which the program relies on. The
// dialogs open in the folder of the last file chosen, kept in the settings file across runs.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace platform {

class FileDialogs {
public:
    // The chosen full path, or an empty text when cancelled.
    static QString getOpenFileName(QWidget *parent, const QString &filter, const QString &title = {});
    // The file a save will really write for the chosen name (a save may change the extension).
    using WrittenFile = std::function<QString(const QString &chosen)>;

    // confirmOverwrite false: an existing file is replaced without a question. Otherwise the
    // question is about the file `written` gives (the chosen one when empty), asked once; "&Non"
    // goes back to the dialog. A path that holds a name which is not UTF-8 is refused there too.
    static QString getSaveFileName(QWidget *parent, const QString &filter,
                                   const QString &defaultSuffix = {}, const QString &title = {},
                                   bool confirmOverwrite = true, const WrittenFile &written = {});

    // The dialog of "Importer": another application's file to bring in (recorded as "import: filter").
    static QString getImportFileName(QWidget *parent, const QString &filter);

    // What choosing `file` in a dialog does to the folders: its folder becomes the current one
    // and the one the next dialog opens in. For files opened without a dialog too.
    static void followFolder(const QString &file);

    // "Desc (*.a;*.b)|*.a;*.b|..." -> Qt's name filters.
    static QStringList toNameFilters(const QString &pipeFilter);

    // Test mode: no dialog is shown; each call takes the next queued name (empty: cancel) and
    // records "open: filter", "import: filter" or "save: filter".
    static void setTestMode(bool on);
    static void setNextFileName(const QString &path);
    static QStringList asked();
};

} // namespace platform
