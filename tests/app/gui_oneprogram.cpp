// One running program: the service the bus calls, and real programs on a private session bus
// (this test runs itself under dbus-run-session, which ends that bus with the test).
#include "app/TMainForm.h"
#include "app/appservice.h"
#include "core/vehicle/vtrfile.h"
#include "guitest.h"
#include "platform/messages.h"
#include "ui/document/TMDIChild.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>

using platform::Messages;

namespace {
const QString kProgram = QStringLiteral(TEV_BINARY_DIR "/src/tevauto");

QStringList captions(TMainForm &f)
{
    QStringList out;
    for (QMdiSubWindow *sub : f.mdiArea()->subWindowList(QMdiArea::CreationOrder))
        out << sub->widget()->windowTitle();
    return out;
}

// The running program's documents, asked over the bus; empty when nobody answers.
QStringList runningDocuments()
{
    const QDBusMessage call =
        QDBusMessage::createMethodCall(AppService::kName, AppService::kPath,
                                       QStringLiteral("org.tevauto.TevAuto"), QStringLiteral("Documents"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toStringList()
                                                      : QStringList();
}

QProcessEnvironment programEnvironment(const QString &config)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config);
    return env;
}
} // namespace

class OneProgramTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        guitest::useSeams();
        QVERIFY(m_dir.isValid());
        for (const char *name : {"x", "y", "z", "avec espace"}) {
            const QString path = m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(".vtr"));
            QVERIFY(vtrfile::save(VehicleRecord::create(QDate(2026, 1, 1)), path).ok);
        }
    }
    void init() { Messages::clearShown(); }

    QString file(const char *name) const
    {
        return m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(".vtr"));
    }

    // What the bus asks, served by a frame in this process: each file once, a known command run,
    // anything else left alone.
    void serviceOpensEachFileOnce()
    {
        TMainForm frame;
        frame.show();
        AppService service;
        // Calls that come before the frame exists wait for it.
        service.Open({AppService::uriOf(file("x"))}, {});
        QTest::qWait(20);
        QCOMPARE(captions(frame), QStringList());
        service.setFrame(&frame);
        QTRY_COMPARE(captions(frame), QStringList{file("x")});

        service.Open({AppService::uriOf(file("avec espace")), AppService::uriOf(file("x")),
                      QStringLiteral("https://example.org/y.vtr")},
                     {});
        QTRY_COMPARE(captions(frame), (QStringList{file("x"), file("avec espace")}));
        QTRY_COMPARE(frame.activeChild()->windowTitle(), file("x"));
        QCOMPARE(service.Documents(), captions(frame));

        service.ActivateAction(QStringLiteral("FileNewItem"), {}, {});
        service.ActivateAction(QStringLiteral("nimporte"), {}, {});
        QTRY_COMPARE(captions(frame).size(), 3);
        QCOMPARE(captions(frame).constLast(), QStringLiteral("VOITURE3"));
        QCOMPARE(Messages::shown(), QStringList());
    }

    // Real programs on the private bus.
    void secondProgramHandsItsFilesOver()
    {
        QVERIFY2(QFile::exists(kProgram), "build the tevauto target first");
        QVERIFY2(AppService::sessionBusNamed(), "no private session bus");
        QTemporaryDir config;
        QProcess first;
        first.setProcessEnvironment(programEnvironment(config.path()));
        first.start(kProgram, {file("x")});
        QVERIFY(first.waitForStarted());
        QTRY_COMPARE_WITH_TIMEOUT(runningDocuments(), QStringList{file("x")}, 20000);

        // The second ends at once with status 0; the first has the file, once.
        QProcess second;
        second.setProcessEnvironment(programEnvironment(config.path()));
        second.setWorkingDirectory(m_dir.path());
        second.start(kProgram, {QStringLiteral("x.vtr")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        second.start(kProgram, {QStringLiteral("y.vtr")});
        QVERIFY(second.waitForFinished(10000));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(runningDocuments(), (QStringList{file("x"), file("y")}), 10000);

        // The desktop's way: Open with a URI, from another client of the bus.
        QProcess gdbus;
        gdbus.start(QStringLiteral("gdbus"),
                    {QStringLiteral("call"), QStringLiteral("--session"), QStringLiteral("--dest"),
                     AppService::kName, QStringLiteral("--object-path"), AppService::kPath,
                     QStringLiteral("--method"), QStringLiteral("org.freedesktop.Application.Open"),
                     QStringLiteral("['%1']").arg(AppService::uriOf(file("avec espace"))),
                     QStringLiteral("{}")});
        QVERIFY2(gdbus.waitForFinished(10000), "gdbus (libglib2.0-bin) missing?");
        QCOMPARE(gdbus.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(runningDocuments(),
                                  (QStringList{file("x"), file("y"), file("avec espace")}), 10000);

        // --new-instance runs on its own (the start report tells what it opened, then it ends).
        QProcessEnvironment reporting = programEnvironment(config.path());
        reporting.insert(QStringLiteral("TEVAUTO_START_REPORT"), QStringLiteral("1"));
        second.setProcessEnvironment(reporting);
        second.start(kProgram, {QStringLiteral("--new-instance"), file("z")});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(QString::fromUtf8(second.readAllStandardOutput())
                    .contains(QStringLiteral("document: ") + file("z")));

        // Without a session bus a program starts on its own as well.
        reporting.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
                         QStringLiteral("unix:path=") + m_dir.filePath(QStringLiteral("nobus")));
        second.setProcessEnvironment(reporting);
        second.start(kProgram, {file("z")});
        QVERIFY(second.waitForFinished(20000));
        QCOMPARE(second.exitCode(), 0);
        QVERIFY(QString::fromUtf8(second.readAllStandardOutput())
                    .contains(QStringLiteral("document: ") + file("z")));
        QCOMPARE(runningDocuments(), (QStringList{file("x"), file("y"), file("avec espace")}));

        first.terminate();
        QVERIFY(first.waitForFinished(20000));
        QTRY_COMPARE_WITH_TIMEOUT(runningDocuments(), QStringList(), 10000);

        // The name is free again: the next program serves it.
        QProcess next;
        next.setProcessEnvironment(programEnvironment(config.path()));
        next.start(kProgram, {file("z")});
        QTRY_COMPARE_WITH_TIMEOUT(runningDocuments(), QStringList{file("z")}, 20000);
        next.terminate();
        QVERIFY(next.waitForFinished(20000));
    }

private:
    QTemporaryDir m_dir;
};

// The test runs under a session bus of its own, which dbus-run-session ends with it.
int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("TEV_PRIVATE_BUS")) {
        setenv("TEV_PRIVATE_BUS", "1", 1);
        std::vector<char *> args{const_cast<char *>("dbus-run-session"), const_cast<char *>("--")};
        for (int i = 0; i < argc; ++i)
            args.push_back(argv[i]);
        args.push_back(nullptr);
        execvp("dbus-run-session", args.data());
        std::fprintf(stderr,
                     "dbus-run-session could not be started (Debian package dbus, see scripts/deps)\n");
        return 1;
    }
    QApplication app(argc, argv);
    OneProgramTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "gui_oneprogram.moc"
