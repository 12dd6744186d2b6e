#include "platform/filedialogs.h"

#include "core/vehicle/vtrfile.h"
#include "platform/messages.h"
#include "platform/settings.h"

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
    if (!record.isEmpty())
        g_asked << record;
    if (g_names.empty())
        return {};
    QString name = g_names.front();
    g_names.pop_front();
    return name;
}

const QString kFolderKey = QStringLiteral("Dialogues/dossier");

QString chosen(const QString &path)
{
    if (!path.isEmpty())
        FileDialogs::followFolder(path);
    return path;
}

// The folder the last dialog (of this run or an earlier one) chose from; the current one when
// there is none or it has gone.
QString startFolder()
{
    const QString folder = Settings::value(kFolderKey).toString();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        return folder;
    return QDir::currentPath();
}

// Qt leaves out of its listings the names that are not UTF-8, but a folder of such a name can
// still reach a path (the current one), as a replacement character: that path names another
// file than the one meant, so nothing is saved under it.
bool nameable(QWidget *parent, const QString &chosen)
{
    if (!chosen.contains(QChar::ReplacementCharacter) || QFileInfo::exists(chosen))
        return true;
    Messages::error(parent, vtrfile::unnameableError(chosen));
    return false;
}

// Whether the user lets `chosen` go ahead: asks when the file it writes exists already.
bool mayReplace(QWidget *parent, const QString &title, const QString &chosen,
                const FileDialogs::WrittenFile &written)
{
    const QFileInfo target(written ? written(chosen) : chosen);
    if (!target.isFile())
        return true;
    return Messages::askYesNo(parent, title,
                              QStringLiteral("%1 existe déjà.\nVoulez-vous le remplacer ?").arg(target.fileName()));
}

// Qt's own overwrite question is about the name as typed; this one asks about the file written.
class SaveDialog : public QFileDialog {
public:
    SaveDialog(QWidget *parent, const QString &title, FileDialogs::WrittenFile written)
        : QFileDialog(parent, title), m_written(std::move(written))
    {
        setOption(QFileDialog::DontConfirmOverwrite);
    }

    void accept() override
    {
        const QStringList files = selectedFiles();
        // A folder typed in the name field is opened by the dialog, not saved to.
        if (!files.isEmpty() && !QFileInfo(files.constFirst()).isDir()
            && (!nameable(this, files.constFirst())
                || (m_written && !mayReplace(this, windowTitle(), files.constFirst(), m_written))))
            return;
        QFileDialog::accept();
    }

private:
    FileDialogs::WrittenFile m_written;
};

QString run(QFileDialog &dlg, const QString &filter)
{
    dlg.setOption(QFileDialog::DontUseNativeDialog);
    dlg.setNameFilters(FileDialogs::toNameFilters(filter));
    dlg.setDirectory(startFolder());
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
    Settings::keepQtSettingsOut();
    QFileDialog dlg(parent, title.isEmpty() ? QStringLiteral("Ouvrir") : title);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    return run(dlg, filter);
}

QString FileDialogs::getImportFileName(QWidget *parent, const QString &filter)
{
    if (g_testMode)
        return chosen(fromQueue(QStringLiteral("import: ") + filter));
    Settings::keepQtSettingsOut();
    QFileDialog dlg(parent, QStringLiteral("Importer"));
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    return run(dlg, filter);
}

QString FileDialogs::getSaveFileName(QWidget *parent, const QString &filter,
                                     const QString &defaultSuffix, const QString &title,
                                     bool confirmOverwrite, const WrittenFile &written)
{
    const QString caption = title.isEmpty() ? QStringLiteral("Enregistrer sous") : title;
    // Without a question there is nothing to map: any name goes.
    const WrittenFile target =
        !confirmOverwrite ? WrittenFile() : written ? written : [](const QString &name) { return name; };
    if (g_testMode) {
        for (QString record = QStringLiteral("save: ") + filter;; record.clear()) {
            // "&Non" to the question: the same dialog takes the next name.
            QString name = fromQueue(record);
            if (!name.isEmpty() && !defaultSuffix.isEmpty() && QFileInfo(name).suffix().isEmpty())
                name += QLatin1Char('.') + defaultSuffix;
            if (name.isEmpty()
                || (nameable(parent, name) && (!target || mayReplace(parent, caption, name, target))))
                return chosen(name);
        }
    }
    Settings::keepQtSettingsOut();
    SaveDialog dlg(parent, caption, target);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    if (!defaultSuffix.isEmpty())
        dlg.setDefaultSuffix(defaultSuffix);
    return run(dlg, filter);
}

void FileDialogs::followFolder(const QString &file)
{
    const QString folder = QFileInfo(file).absolutePath();
    QDir::setCurrent(folder);
    Settings::setValue(kFolderKey, folder);
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
