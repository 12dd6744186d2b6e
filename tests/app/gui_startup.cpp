// Starting from outside the program's folder: files named on the command line, --help and
// --version, and the help file found in the installed data folder.
#include "app/TMainForm.h"
#include "app/commandline.h"
#include "guitest.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "tevversion.h"
#include "ui/document/TMDIChild.h"

#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include <initializer_list>

#include <sys/stat.h>

using commandline::Request;
using platform::Help;
using platform::Messages;

namespace {

QStringList captions(TMainForm &f)
{
    QStringList out;
    for (QMdiSubWindow *sub : f.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        out << sub->widget()->windowTitle();
    return out;
}

bool copySample(const QString &name, const QString &toDir)
{
    return QFile::copy(QStringLiteral(TEV_SAMPLES "/") + name, toDir + QLatin1Char('/') + name);
}

QStringList L(std::initializer_list<const char *> texts)
{
    QStringList out;
    for (const char *t : texts)
        out << QString::fromUtf8(t);
    return out;
}

const QString kProgram = QStringLiteral(TEV_BINARY_DIR "/src/tevauto");

} // namespace

class StartupTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        guitest::useSeams();
        m_home = QDir::currentPath();
    }
    void init()
    {
        Messages::clearShown();
        Help::setTestMode(true);
        Help::setInstalledFolder(QString());
    }
    void cleanup()
    {
        QDir::setCurrent(m_home);
        Help::setHelpFile(QStringLiteral("Tevauto.hlp"));
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("action");
        QTest::addColumn<QStringList>("files");
        const QStringList none;
        QTest::newRow("nothing") << none << int(Request::Run) << none;
        QTest::newRow("files in order") << L({"b.vtr", "a.vtr", "b.vtr"}) << int(Request::Run)
                                        << L({"b.vtr", "a.vtr", "b.vtr"});
        QTest::newRow("help") << L({"a.vtr", "--help"}) << int(Request::Help) << L({"a.vtr"});
        QTest::newRow("-h") << L({"-h"}) << int(Request::Help) << none;
        QTest::newRow("version") << L({"--version"}) << int(Request::Version) << none;
        QTest::newRow("help wins over version") << L({"-v", "-h"}) << int(Request::Help) << none;
        QTest::newRow("help wins over a mistake") << L({"-x", "--help"}) << int(Request::Help) << none;
        QTest::newRow("unknown option") << L({"a.vtr", "--verbose"}) << int(Request::Error)
                                        << L({"a.vtr"});
        QTest::newRow("-- ends the options") << L({"--", "-x.vtr", "--help"}) << int(Request::Run)
                                             << L({"-x.vtr", "--help"});
        QTest::newRow("- is a name") << L({"-"}) << int(Request::Run) << L({"-"});
    }
    void parse()
    {
        QFETCH(QStringList, args);
        QFETCH(int, action);
        QFETCH(QStringList, files);
        const Request r = commandline::parse(args);
        QCOMPARE(int(r.action), action);
        QCOMPARE(r.files, files);
        if (r.action == Request::Error)
            QVERIFY2(r.error.contains(QStringLiteral("option inconnue « --verbose »")), qPrintable(r.error));
    }

    void filesOpenAsTheOpenCommandDoes()
    {
        QTemporaryDir data, elsewhere;
        QVERIFY(QDir(data.path()).mkdir(QStringLiteral("garage")));
        const QString folder = data.path() + QStringLiteral("/garage");
        QVERIFY(copySample(QStringLiteral("exemple.vtr"), folder));
        QVERIFY(copySample(QStringLiteral("clio.bmp"), folder));
        QVERIFY(QDir::setCurrent(data.path()));

        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        // A relative name, and a file that is not there: both as the open dialog would give them.
        commandline::openAtStart(&f, {QStringLiteral("garage/exemple.vtr"), elsewhere.path() + QStringLiteral("/absent.vtr")});
        QTRY_COMPARE(f.documentCount(), 2);

        const QString sample = folder + QStringLiteral("/exemple.vtr");
        const QString absent = elsewhere.path() + QStringLiteral("/absent.vtr");
        QCOMPARE(captions(f), (QStringList{sample, absent}));
        const auto docs = f.mdiArea()->subWindowList(QMdiArea::CreationOrder);
        const auto *loaded = qobject_cast<TMDIChild *>(docs[0]->widget());
        QCOMPARE(loaded->record().fileName, sample);
        QCOMPARE(loaded->record().edit[1], QStringLiteral("Renault"));
        QVERIFY(!loaded->record().ListView1.empty());
        QVERIFY(!loaded->record().modified);
        // The picture is looked up beside the file, though the program started elsewhere.
        QVERIFY(!loaded->picture().isNull());
        QCOMPARE(Messages::shown(),
                 QStringList{QStringLiteral("error: Ne peut ouvrir le fichier ") + absent + QLatin1Char('.')});
        // The window of the file that could not be read stays, as after the open dialog.
        QCOMPARE(qobject_cast<TMDIChild *>(docs[1]->widget())->record().fileName, absent);
        QCOMPARE(f.startDirectory(), QDir(data.path()).canonicalPath());
    }

    void nameThatIsNotUtf8OpensNothing()
    {
        QTemporaryDir data;
        QVERIFY(copySample(QStringLiteral("exemple.vtr"), data.path()));
        const QByteArray raw = QFile::encodeName(data.path()) + "/caf\xe9.vtr";
        QVERIFY(::rename(QFile::encodeName(data.path() + QStringLiteral("/exemple.vtr")).constData(),
                         raw.constData()) == 0);
        const QString given = QFile::decodeName(raw);

        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        commandline::openAtStart(&f, {given});
        QTRY_COMPARE(Messages::shown().size(), 1);
        QVERIFY2(Messages::shown().first().startsWith(QStringLiteral("error: Nom de fichier illisible")),
                 qPrintable(Messages::shown().first()));
        QCOMPARE(f.documentCount(), 0);
        QVERIFY(!QFileInfo::exists(given));
        ::remove(raw.constData()); // the temporary folder cannot list it to remove it
    }

    void noFilesOpenNothing()
    {
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        commandline::openAtStart(&f, {});
        QTest::qWait(20);
        QCOMPARE(f.documentCount(), 0);
    }

    void helpFileFoundInTheCurrentFolderThenInstalled()
    {
        QTemporaryDir start, prefix;
        const QString installed = prefix.path() + QStringLiteral("/share/tevauto");
        QVERIFY(QDir().mkpath(installed));
        Help::setInstalledFolder(installed);
        QVERIFY(QDir::setCurrent(start.path()));
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        const QString local = QDir::currentPath() + QStringLiteral("/TevAuto.hlp");
        QCOMPARE(Help::helpFile(), local);

        // Nowhere: the engine reports the file the program asked for.
        QCOMPARE(Help::resolvedFile(), local);
        // Installed only.
        QVERIFY(QFile::copy(QStringLiteral(TEV_SOURCE_DIR "/resources/TevAuto.hlp"),
                            installed + QStringLiteral("/TevAuto.hlp")));
        f.Sommaire1->trigger();
        QCOMPARE(Help::calls(), QStringList{QStringLiteral("contents ") + installed + QStringLiteral("/TevAuto.hlp")});
        QVERIFY(Help::read(Help::resolvedFile()).ok());
        // One in the current folder wins, as it always has.
        QVERIFY(QFile::copy(installed + QStringLiteral("/TevAuto.hlp"), local));
        QCOMPARE(Help::resolvedFile(), local);
    }

    void installedFolderIsBesideTheProgramsFolder()
    {
        QCOMPARE(Help::installedFolder(),
                 QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tevauto")));
    }

    // The program itself: --help and --version need no display, answer in French and end.
    void programAnswersHelpAndVersionWithoutADisplay()
    {
        QVERIFY2(QFile::exists(kProgram), "build the tevauto target first");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(kProgram, {QStringLiteral("--version")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), QStringLiteral("Tev Auto " TEV_VERSION "\n"));

        p.start(kProgram, {QStringLiteral("exemple.vtr"), QStringLiteral("--help")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()), commandline::helpText());

        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        p.setProcessEnvironment(env);
        p.start(kProgram, {QStringLiteral("--bavard")});
        QVERIFY(p.waitForFinished(10000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("« --bavard »")));
    }

    // The start report the package checks read: what the program loaded, then it ends.
    void programReportsWhatItOpened()
    {
        QVERIFY2(QFile::exists(kProgram), "build the tevauto target first");
        QTemporaryDir start;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TEVAUTO_START_REPORT"), QStringLiteral("1"));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(start.path());
        const QString sample = QStringLiteral(TEV_SAMPLES "/exemple.vtr");
        p.start(kProgram, {QStringLiteral("-platform"), QStringLiteral("offscreen"), sample});
        QVERIFY(p.waitForFinished(20000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QCOMPARE(p.exitCode(), 0);
        QVERIFY2(out.contains(QStringLiteral("document: ") + sample + QStringLiteral(" | Renault ")), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("picture none")), qPrintable(out));
        QVERIFY2(!out.contains(QStringLiteral("message:")), qPrintable(out));

        // A file that cannot be read: its error box is reported, and the status says so.
        p.start(kProgram, {start.path() + QStringLiteral("/absent.vtr")});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 1);
        QVERIFY(QString::fromUtf8(p.readAllStandardOutput())
                    .contains(QStringLiteral("message: error: Ne peut ouvrir le fichier ")));

        // A FIFO nobody writes to: the error box at once, not a program waiting for ever.
        const QString fifo = start.filePath(QStringLiteral("tube.vtr"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        p.start(kProgram, {fifo, sample});
        QVERIFY(p.waitForFinished(20000));
        QCOMPARE(p.exitCode(), 1);
        const QString report = QString::fromUtf8(p.readAllStandardOutput());
        QVERIFY2(report.contains(QStringLiteral("message: error: Ne peut ouvrir le fichier ") + fifo + QLatin1Char('.')),
                 qPrintable(report));
        QVERIFY2(report.contains(QStringLiteral("document: ") + sample), qPrintable(report));
    }

private:
    QString m_home;
};

QTEST_MAIN(StartupTest)
#include "gui_startup.moc"
