#include "app/commandline.h"

#include "app/TMainForm.h"
#include "core/vehicle/vtrfile.h"
#include "platform/filedialogs.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "tevversion.h"
#include "ui/document/TMDIChild.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

#include <cstdio>

namespace commandline {

Request parse(const QStringList &arguments)
{
    Request r;
    bool options = true;
    for (const QString &a : arguments) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            r.action = Request::Help;
        } else if (options && (a == QLatin1String("--version") || a == QLatin1String("-v"))) {
            if (r.action != Request::Help)
                r.action = Request::Version;
        } else if (options && a == QLatin1String("--new-instance")) {
            r.newInstance = true;
        } else if (options && a.startsWith(QLatin1Char('-')) && a != QLatin1String("-")) {
            if (r.action == Request::Run) {
                r.action = Request::Error;
                r.error = QStringLiteral("tevauto : option inconnue « %1 »\n"
                                         "Essayez « tevauto --help » pour en savoir plus.\n")
                              .arg(a);
            }
        } else {
            r.files << a;
        }
    }
    return r;
}

QStringList rawArguments(int argc, char *argv[])
{
    QStringList out;
    for (int i = 1; i < argc; ++i)
        out << QFile::decodeName(argv[i]);
    return out;
}

QString helpText()
{
    return QStringLiteral(
        "Utilisation : tevauto [OPTION] [FICHIER.vtr]...\n"
        "Tev Auto : suivi du budget d'un véhicule.\n"
        "\n"
        "Ouvre chaque fichier voiture nommé, comme la commande « Ouvrir » du menu « Fichier ».\n"
        "Si Tev Auto tourne déjà, c'est lui qui ouvre les fichiers.\n"
        "\n"
        "Options :\n"
        "  -h, --help          affiche cette aide et quitte\n"
        "  -v, --version       affiche la version et quitte\n"
        "      --new-instance  démarre un programme à part, même si Tev Auto tourne déjà\n"
        "\n"
        "Voir aussi : man tevauto, et vtrtool pour la ligne de commande.\n");
}

QString versionText()
{
    return QStringLiteral("Tev Auto " TEV_VERSION "\n");
}

int answer(const Request &request)
{
    switch (request.action) {
    case Request::Help: std::fputs(helpText().toUtf8().constData(), stdout); return 0;
    case Request::Version: std::fputs(versionText().toUtf8().constData(), stdout); return 0;
    case Request::Error: std::fputs(request.error.toUtf8().constData(), stderr); return 2;
    case Request::Run: break;
    }
    return 0;
}

void openFile(TMainForm *frame, const QString &file, bool reuseOpenWindow)
{
    // A name that is not UTF-8 arrives with a replacement character: it names another file,
    // which a later save would create. Say so and open nothing.
    if (file.contains(QChar::ReplacementCharacter) && !QFileInfo::exists(file)) {
        platform::Messages::error(frame, vtrfile::unnameableError(file));
        return;
    }
    const QString path = QFileInfo(file).absoluteFilePath();
    if (reuseOpenWindow) {
        if (TMDIChild *open = frame->findDocument(path)) {
            frame->activateDocument(open);
            return;
        }
    }
    // As the open dialog leaves it: pictures are looked up beside the vehicle file.
    platform::FileDialogs::followFolder(path);
    frame->runCommand([frame, path] { frame->openDocument(path); });
}

bool startReportAsked()
{
    return qEnvironmentVariableIsSet("TEVAUTO_START_REPORT");
}

void openAtStart(TMainForm *frame, const QStringList &files)
{
    const bool report = startReportAsked();
    if (report)
        platform::Messages::setTestMode(true);
    if (files.isEmpty() && !report)
        return;
    QTimer::singleShot(0, frame, [frame, files, report] {
        for (const QString &file : files)
            openFile(frame, file, false);
        if (report) {
            std::fputs(startReport(frame).toUtf8().constData(), stdout);
            std::fflush(stdout);
            QCoreApplication::exit(platform::Messages::shown().isEmpty() ? 0 : 1);
        }
    });
}

QString startReport(TMainForm *frame)
{
    QString out;
    out += QStringLiteral("start directory: %1\n").arg(frame->startDirectory());
    const QString help = platform::Help::resolvedFile();
    const platform::HelpFile file = platform::Help::read(help);
    out += file.ok() ? QStringLiteral("help: %1 (%2 topics)\n").arg(help).arg(file.topics.size())
                     : QStringLiteral("help: %1\n").arg(file.error);
    for (QMdiSubWindow *sub : frame->mdiArea()->subWindowList(QMdiArea::CreationOrder)) {
        const auto *doc = qobject_cast<TMDIChild *>(sub->widget());
        if (!doc)
            continue;
        const VehicleRecord &r = doc->record();
        out += QStringLiteral("document: %1 | %2 %3 | %4 fuel, %5 garage, %6 parking | picture %7\n")
                   .arg(doc->windowTitle(), r.edit[1], r.edit[2])
                   .arg(r.ListView1.size())
                   .arg(r.ListView2.size())
                   .arg(r.ListView3.size())
                   .arg(doc->picture().isNull() ? QStringLiteral("none")
                                                : QStringLiteral("%1x%2").arg(doc->picture().width())
                                                      .arg(doc->picture().height()));
    }
    for (const QString &m : platform::Messages::shown())
        out += QStringLiteral("message: %1\n").arg(m);
    return out;
}

} // namespace commandline
