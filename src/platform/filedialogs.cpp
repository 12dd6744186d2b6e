#include "platform/filedialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

#include <deque>

namespace platform {
namespace {
bool g_testMode = false;
std::deque<QString> g_names;
QStringList g_asked;

QString fromQueue(const QString &record)
{
    g_asked << record;
    if (g_names.empty())
        return {};
    QString name = g_names.front();
    g_names.pop_front();
    return name;
}

QString chosen(const QString &path)
{
    if (!path.isEmpty())
        QDir::setCurrent(QFileInfo(path).absolutePath());
    return path;
}

QString run(QFileDialog &dlg, const QString &filter)
{
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setNameFilters(FileDialogs::toNameFilters(filter));
    dlg.setDirectory(QDir::current());
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return {};
    return chosen(dlg.selectedFiles().constFirst());
}
} // namespace

QStringList FileDialogs::toNameFilters(const QString &pipeFilter)
{
    const QStringList parts = pipeFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString desc = parts[i];
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString &p : patterns)
            if (p == QStringLiteral("*.*"))
                p = QStringLiteral("*");
        patterns.removeDuplicates();
        // Qt takes the patterns from the parentheses, so they must be the real ones.
        const int open = desc.lastIndexOf(QLatin1Char('('));
        if (open > 0)
            desc = desc.left(open).trimmed();
        filters << QStringLiteral("%1 (%2)").arg(desc, patterns.join(QLatin1Char(' ')));
    }
    return filters;
}

QString FileDialogs::getOpenFileName(QWidget *parent, const QString &filter, const QString &title)
{
    if (g_testMode)
        return chosen(fromQueue(QStringLiteral("open: ") + filter));
    QFileDialog dlg(parent, title.isEmpty() ? QStringLiteral("Ouvrir") : title);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    return run(dlg, filter);
}

QString FileDialogs::getImportFileName(QWidget *parent, const QString &filter)
{
    if (g_testMode)
        return chosen(fromQueue(QStringLiteral("import: ") + filter));
    QFileDialog dlg(parent, QStringLiteral("Importer"));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    return run(dlg, filter);
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &filter,
                                     const QString &defaultSuffix, const QString &title,
                                     bool confirmOverwrite)
{
    if (g_testMode) {
        QString name = fromQueue(QStringLiteral("save: ") + filter);
        if (!name.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(name).suffix().isEmpty())
            name += QLatin1Char('.') + defaultSuffix;
        return chosen(name);
    }
    QFileDialog dlg(parent, title.isEmpty() ? QStringLiteral("Enregistrer sous") : title);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    if (!defaultSuffix.isEmpty())
        dlg.setDefaultSuffix(defaultSuffix);
    dlg.setOption(QFileDialog::DontConfirmOverwrite, !confirmOverwrite);
    return run(dlg, filter);
}

void FileDialogs::setTestMode(bool on)
{
    g_testMode = on;
    g_names.clear();
    g_asked.clear();
}

void FileDialogs::setNextFileName(const QString &path)
{
    g_names.push_back(path);
}

QStringList FileDialogs::asked()
{
    return g_asked;
}

} // namespace platform
