#pragma once
// Open and save dialogs. Filters are given as "Description|patterns|Description|patterns";
// choosing a file makes its folder the current directory, which the program relies on.

#include <QString>
#include <QStringList>

class QWidget;

namespace platform {

class FileDialogs {
public:
    // The chosen full path, or an empty text when cancelled.
    static QString getOpenFileName(QWidget *parent, const QString &filter, const QString &title = {});
    // confirmOverwrite false: an existing file is replaced without a question.
    static QString getSaveFileName(QWidget *parent, const QString &filter,
                                   const QString &defaultSuffix = {}, const QString &title = {},
                                   bool confirmOverwrite = true);

    // The dialog of "Importer": another application's file to bring in (recorded as "import: filter").
    static QString getImportFileName(QWidget *parent, const QString &filter);

    // "Desc (*.a;*.b)|*.a;*.b|..." -> Qt's name filters.
    static QStringList toNameFilters(const QString &pipeFilter);

    // Test mode: no dialog is shown; each call takes the next queued name (empty: cancel) and
    // records "open: filter", "import: filter" or "save: filter".
    static void setTestMode(bool on);
    static void setNextFileName(const QString &path);
    static QStringList asked();
};

} // namespace platform
