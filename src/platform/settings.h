#pragma once
// The program's one settings file, $XDG_CONFIG_HOME/tevauto/tevauto.conf (INI): where the windows
// were, how wide the ledger columns are, the file dialogs' last folder and the recent files.
// Nothing else is a setting: without the file the program starts as it always did. Every call
// reads the file again, so two running programs see each other's changes.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace platform {

class Settings {
public:
    static constexpr int kRecentCount = 8;

    static QString fileName();

    static QVariant value(const QString &key, const QVariant &fallback = {});
    static void setValue(const QString &key, const QVariant &value);

    // Newest first, at most kRecentCount, each an absolute path.
    static QStringList recentFiles();
    // Puts the file at the top of the list (once), dropping the oldest beyond the count.
    static void addRecentFile(const QString &path);
    static void removeRecentFile(const QString &path);
    static void clearRecentFiles();

    // A list of column widths kept under `key`; empty when none or not `count` of them.
    static QList<int> widths(const QString &key, int count);
    static void setWidths(const QString &key, const QList<int> &widths);

    // Qt's own file dialog keeps a history of its own in another file (QtProject.conf). Our
    // dialogs take their folder from this file, so Qt's writes are sent where none can land.
    static void keepQtSettingsOut();
};

} // namespace platform
