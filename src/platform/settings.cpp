#include "platform/settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace platform {
namespace {
const QString kRecentKey = QStringLiteral("Recents/fichiers");

QString normalised(const QString &path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

void writeRecent(QSettings &s, const QStringList &files)
{
    if (files.isEmpty())
        s.remove(kRecentKey);
    else
        s.setValue(kRecentKey, files);
}

QStringList readRecent(QSettings &s)
{
    // Read again from the disk: another running program may have changed the list.
    s.sync();
    QStringList files = s.value(kRecentKey).toStringList();
    files.removeAll(QString());
    files.removeDuplicates();
    return files.mid(0, Settings::kRecentCount);
}
} // namespace

QString Settings::fileName()
{
    // GenericConfigLocation is $XDG_CONFIG_HOME, or ~/.config when it is not set.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/tevauto/tevauto.conf");
}

QVariant Settings::value(const QString &key, const QVariant &fallback)
{
    QSettings s(fileName(), QSettings::IniFormat);
    return s.value(key, fallback);
}

void Settings::setValue(const QString &key, const QVariant &value)
{
    QSettings s(fileName(), QSettings::IniFormat);
    if (s.value(key) != value)
        s.setValue(key, value);
}

QStringList Settings::recentFiles()
{
    QSettings s(fileName(), QSettings::IniFormat);
    return readRecent(s);
}

void Settings::addRecentFile(const QString &path)
{
    if (path.isEmpty())
        return;
    const QString file = normalised(path);
    QSettings s(fileName(), QSettings::IniFormat);
    QStringList files = readRecent(s);
    if (!files.isEmpty() && files.constFirst() == file)
        return;
    files.removeAll(file);
    files.prepend(file);
    writeRecent(s, files.mid(0, kRecentCount));
}

void Settings::removeRecentFile(const QString &path)
{
    QSettings s(fileName(), QSettings::IniFormat);
    QStringList files = readRecent(s);
    if (files.removeAll(normalised(path)) > 0)
        writeRecent(s, files);
}

void Settings::clearRecentFiles()
{
    QSettings s(fileName(), QSettings::IniFormat);
    s.remove(kRecentKey);
}

QList<int> Settings::widths(const QString &key, int count)
{
    const QStringList texts = value(key).toStringList();
    if (texts.size() != count)
        return {};
    QList<int> out;
    for (const QString &t : texts) {
        bool ok = false;
        const int w = t.toInt(&ok);
        // A hand-edited file may hold anything: a column stays reachable.
        if (!ok || w < 8 || w > 4000)
            return {};
        out << w;
    }
    return out;
}

void Settings::setWidths(const QString &key, const QList<int> &widths)
{
    QStringList texts;
    for (int w : widths)
        texts << QString::number(w);
    setValue(key, texts);
}

void Settings::keepQtSettingsOut()
{
    static const bool done = [] {
        // Qt's user-scope settings live in an ordinary file named by organisation; no folder can
        // be made under /dev/null, so whatever Qt saves there is dropped quietly.
        const QString nowhere = QStringLiteral("/dev/null");
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, nowhere);
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, nowhere);
        return true;
    }();
    (void)done;
}

} // namespace platform
