// Crash recovery with the real program on a real desktop: it is killed (kill -9) or told to
// end (SIGTERM) with unsaved changes, started again, asks, and gives the work back or lets it go.
#include "core/vehicle/vtrfile.h"
#include "desktest.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

using desktest::kWait;
using namespace Qt::StringLiterals;

namespace {

const QString kProgram = QStringLiteral(TEV_BINARY_DIR "/src/tevauto");

QString xdoOutput(const QStringList &args)
{
    QProcess p;
    p.start(u"xdotool"_s, args);
    if (!p.waitForFinished(kWait))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

// The window the window manager made active belongs to `program` and bears this title.
bool activeWindowIs(const QProcess &program, const QString &title)
{
    return QTest::qWaitFor(
        [&] {
            return xdoOutput({u"getactivewindow"_s, u"getwindowpid"_s}) == QString::number(program.processId())
                   && xdoOutput({u"getactivewindow"_s, u"getwindowname"_s}) == title;
        },
        kWait);
}

VehicleRecord fixture()
{
    VehicleRecord r = VehicleRecord::create(QDate(2026, 1, 1));
    r.edit[1] = u"Renault"_s;
    r.edit[2] = u"Clio"_s;
    r.ListView1 = {{u"02/01/2026"_s, u"Plein"_s, u"60.00"_s, u"40.00"_s, u"1000.00"_s}};
    r.ListView3 = {{u"03/01/2026"_s, u"Parking"_s, u"2.00"_s}};
    return r;
}

QStringList copiesUnder(const QString &root)
{
    QStringList out;
    QDirIterator it(root, {u"*.vtr"_s}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    return out;
}

QStringList everythingUnder(const QString &root)
{
    QStringList out;
    QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << it.next();
    return out;
}

QString brandOf(const QString &path)
{
    VehicleRecord r = VehicleRecord::create(QDate(2026, 1, 1));
    return vtrfile::load(r, path, vtrfile::nameOnlyPictureHook()).ok ? r.edit[1] : QString();
}

} // namespace

class DesktopRecoveryTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFile::exists(kProgram), "build the tevauto target first"); }
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        QVERIFY(m_tmp->isValid());
        m_state = m_tmp->filePath(u"state"_s);
        m_root = m_state + u"/tevauto/recovery"_s;
        m_file = m_tmp->filePath(u"auto.vtr"_s);
        QVERIFY(vtrfile::save(fixture(), m_file).ok);
    }
    void cleanup()
    {
        for (QProcess *p : {&m_first, &m_second})
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(kWait);
            }
    }

    void killedProgramGivesTheWorkBack();
    void killedProgramsWorkGivenUp();
    void terminatedProgramWritesWhatIsPending();

private:
    void start(QProcess &p, const QStringList &args);
    // Opens the fixture in a first program and changes the brand to "Peugeot".
    void editInFirstProgram();
    void quit(QProcess &p);

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_state, m_root, m_file;
    QProcess m_first, m_second;
};

void DesktopRecoveryTest::start(QProcess &p, const QStringList &args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"XDG_STATE_HOME"_s, m_state);
    env.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    env.insert(u"DISPLAY"_s, qEnvironmentVariable("DISPLAY"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(m_tmp->path());
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(kProgram, args);
    QVERIFY(p.waitForStarted(kWait));
}

void DesktopRecoveryTest::editInFirstProgram()
{
    start(m_first, {m_file});
    QVERIFY(activeWindowIs(m_first, u"Tev Auto"_s));
    // The keyboard is on the page tabs: Tab goes to "Marque" and selects its text.
    QVERIFY(desktest::key(u"Tab"_s));
    QVERIFY(desktest::type(u"Peugeot"_s));
}

void DesktopRecoveryTest::quit(QProcess &p)
{
    QVERIFY(desktest::key(u"alt+f"_s));
    QTest::qWait(300);
    QVERIFY(desktest::key(u"q"_s));
    QVERIFY(p.waitForFinished(kWait));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
}

void DesktopRecoveryTest::killedProgramGivesTheWorkBack()
{
    editInFirstProgram();
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(copiesUnder(m_root).size() == 1 && brandOf(copiesUnder(m_root).first()) == u"Peugeot"_s,
                             kWait);
    m_first.kill(); // SIGKILL: nothing of the program runs any more
    QVERIFY(m_first.waitForFinished(kWait));
    QCOMPARE(brandOf(m_file), u"Renault"_s);

    start(m_second, {});
    QVERIFY(activeWindowIs(m_second, u"Avertissement"_s));
    QVERIFY(desktest::key(u"alt+o"_s)); // "&Oui"
    QVERIFY(activeWindowIs(m_second, u"Tev Auto"_s));
    // The copy now belongs to the second program, in its own folder.
    const QString own = QString::number(m_second.processId()) + u'-';
    QTRY_VERIFY_WITH_TIMEOUT(copiesUnder(m_root).size() == 1 && copiesUnder(m_root).first().contains(u'/' + own),
                             kWait);

    // "&Enregistrer" writes the original file, which nobody changed: no question.
    QVERIFY(desktest::key(u"ctrl+s"_s));
    QTRY_COMPARE_WITH_TIMEOUT(brandOf(m_file), u"Peugeot"_s, kWait);
    VehicleRecord saved = VehicleRecord::create(QDate(2026, 1, 1));
    QVERIFY(vtrfile::load(saved, m_file, vtrfile::nameOnlyPictureHook()).ok);
    VehicleRecord expected = fixture();
    expected.edit[1] = u"Peugeot"_s;
    QVERIFY(saved.sameStoredContent(expected));
    QTRY_COMPARE_WITH_TIMEOUT(everythingUnder(m_root), QStringList(), kWait);
    quit(m_second);
    QCOMPARE(everythingUnder(m_root), QStringList());
}

void DesktopRecoveryTest::killedProgramsWorkGivenUp()
{
    editInFirstProgram();
    if (QTest::currentTestFailed())
        return;
    QTRY_VERIFY_WITH_TIMEOUT(copiesUnder(m_root).size() == 1 && brandOf(copiesUnder(m_root).first()) == u"Peugeot"_s,
                             kWait);
    m_first.kill();
    QVERIFY(m_first.waitForFinished(kWait));

    start(m_second, {});
    QVERIFY(activeWindowIs(m_second, u"Avertissement"_s));
    QVERIFY(desktest::key(u"alt+n"_s)); // "&Non"
    QVERIFY(activeWindowIs(m_second, u"Tev Auto"_s));
    QTRY_COMPARE_WITH_TIMEOUT(everythingUnder(m_root), QStringList(), kWait);
    quit(m_second); // no document, no question
    QCOMPARE(everythingUnder(m_root), QStringList());
    QCOMPARE(brandOf(m_file), u"Renault"_s);
}

void DesktopRecoveryTest::terminatedProgramWritesWhatIsPending()
{
    editInFirstProgram();
    if (QTest::currentTestFailed())
        return;
    // At once, before any copy was due: the signal writes it.
    QElapsedTimer ending;
    ending.start();
    m_first.terminate();
    QVERIFY(m_first.waitForFinished(kWait));
    QCOMPARE(m_first.exitStatus(), QProcess::NormalExit);
    QCOMPARE(m_first.exitCode(), 0);
    qInfo("ended %lld ms after SIGTERM", ending.elapsed());
    QCOMPARE(copiesUnder(m_root).size(), 1);
    QCOMPARE(brandOf(copiesUnder(m_root).first()), u"Peugeot"_s);
    QCOMPARE(brandOf(m_file), u"Renault"_s);

    // Offered at the next start; a box closed without an answer keeps them for later.
    start(m_second, {});
    QVERIFY(activeWindowIs(m_second, u"Avertissement"_s));
    QVERIFY(desktest::key(u"Escape"_s));
    QVERIFY(activeWindowIs(m_second, u"Tev Auto"_s));
    quit(m_second);
    QCOMPARE(copiesUnder(m_root).size(), 1);
}

int main(int argc, char **argv)
{
    return desktest::run<DesktopRecoveryTest>(argc, argv);
}
#include "desk_recovery.moc"
