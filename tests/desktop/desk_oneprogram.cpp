// A second `tevauto FILE` on a real desktop: the program already running opens the file and the
// window manager brings its frame to the front, over another application's window. The test runs
// itself under a session bus of its own (dbus-run-session), which ends with it.
#include "app/appservice.h"
#include "core/vehicle/vtrfile.h"
#include "desktest.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QLabel>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <unistd.h>

using desktest::kWait;

namespace {
const QString kProgram = QStringLiteral(TEV_BINARY_DIR "/src/tevauto");

QStringList runningDocuments()
{
    const QDBusMessage call =
        QDBusMessage::createMethodCall(AppService::kName, AppService::kPath,
                                       QStringLiteral("org.tevauto.TevAuto"), QStringLiteral("Documents"));
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 5000);
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toStringList()
                                                      : QStringList();
}

// The caption of the window the window manager holds active.
QString activeWindowName()
{
    QProcess p;
    p.start(QStringLiteral("xdotool"), {QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")});
    if (!p.waitForFinished(kWait))
        return {};
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}
} // namespace

class OneProgramDesktopTest : public QObject {
    Q_OBJECT
private slots:
    void secondProgramBringsTheFirstForward()
    {
        QVERIFY2(QFile::exists(kProgram), "build the tevauto target first");
        QTemporaryDir dir;
        QTemporaryDir config;
        const QString x = dir.filePath(QStringLiteral("x.vtr"));
        const QString y = dir.filePath(QStringLiteral("y.vtr"));
        for (const QString &path : {x, y})
            QVERIFY(vtrfile::save(VehicleRecord::create(QDate(2026, 1, 1)), path).ok);

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        QProcess first;
        first.setProcessEnvironment(env);
        first.start(kProgram, {x});
        QTRY_COMPARE_WITH_TIMEOUT(runningDocuments(), QStringList{x}, kWait);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowName(), QStringLiteral("Tev Auto"), kWait);

        // Another application's window in front of it.
        QLabel other(QStringLiteral("Une autre application"));
        other.setWindowTitle(QStringLiteral("Autre"));
        other.resize(500, 300);
        other.show();
        QVERIFY(QTest::qWaitForWindowActive(&other, kWait));
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowName(), QStringLiteral("Autre"), kWait);

        QProcess second;
        second.setProcessEnvironment(env);
        second.start(kProgram, {y});
        QVERIFY(second.waitForFinished(kWait));
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(runningDocuments(), (QStringList{x, y}), kWait);
        QTRY_COMPARE_WITH_TIMEOUT(activeWindowName(), QStringLiteral("Tev Auto"), kWait);

        // The same file again: still one window for it.
        second.start(kProgram, {x});
        QVERIFY(second.waitForFinished(kWait));
        QCOMPARE(second.exitCode(), 0);
        QTest::qWait(300);
        QCOMPARE(runningDocuments(), (QStringList{x, y}));

        first.terminate();
        QVERIFY(first.waitForFinished(kWait));
    }
};

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet("TEV_DESKTOP_DISPLAY") && !qEnvironmentVariableIsSet("TEV_PRIVATE_BUS")) {
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
    return desktest::run<OneProgramDesktopTest>(argc, argv);
}

#include "desk_oneprogram.moc"
