// The page keys on a real desktop: Ctrl+PgDn, Ctrl+PgUp and Alt+digit typed through the X server
// under a window manager turn the pages of the document in front, and Ctrl+Tab still changes
// document.
#include "app/TMainForm.h"
#include "app/startup.h"
#include "desktest.h"
#include "platform/help.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMdiArea>
#include <QMenu>
#include <QTemporaryDir>

#include <memory>

using desktest::kWait;

namespace {
// The document has the keyboard: keys typed now reach it.
bool hasKeyboard(TMDIChild *doc)
{
    return QTest::qWaitFor(
        [doc] {
            QWidget *focus = QApplication::focusWidget();
            return doc->window()->isActiveWindow() && focus && doc->isAncestorOf(focus);
        },
        kWait);
}

bool onPage(TMDIChild *doc, int page)
{
    return QTest::qWaitFor([doc, page] { return doc->currentPage() == page; }, kWait);
}
} // namespace

class DesktopPageKeysTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        startup::prepareApplication(*qApp);
        QVERIFY(m_dir.isValid());
        m_home = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        QVERIFY(QFile::copy(QStringLiteral(TEV_SOURCE_DIR "/resources/TevAuto.hlp"),
                            m_dir.filePath(QStringLiteral("TevAuto.hlp"))));
    }
    void cleanupTestCase() { QDir::setCurrent(m_home); }

    void pageKeysAndCtrlTab()
    {
        std::unique_ptr<TMainForm> frame(startup::createWindows());
        frame->show();
        QVERIFY(QTest::qWaitForWindowActive(frame.get(), kWait));

        // Two new documents, from the keyboard too: "&Fichier", "&Nouveau".
        for (int n = 1; n <= 2; ++n) {
            QVERIFY(desktest::key(QStringLiteral("alt+f")));
            QVERIFY(QTest::qWaitFor([&frame] { return frame->File1->isVisible(); }, kWait));
            QVERIFY(desktest::key(QStringLiteral("n")));
            QTRY_COMPARE_WITH_TIMEOUT(frame->documentCount(), n, kWait);
        }
        TMDIChild *second = frame->activeChild();
        QVERIFY(hasKeyboard(second));

        QVERIFY(desktest::key(QStringLiteral("ctrl+Next")));
        QVERIFY(onPage(second, TMDIChild::Carburant));
        QVERIFY(hasKeyboard(second));
        QVERIFY(frame->Supprimercriture1->isEnabled()); // the frame heard of the page
        QVERIFY(desktest::key(QStringLiteral("ctrl+Next")));
        QVERIFY(onPage(second, TMDIChild::Garage));
        QVERIFY(desktest::key(QStringLiteral("ctrl+Prior")));
        QVERIFY(onPage(second, TMDIChild::Carburant));
        QVERIFY(desktest::key(QStringLiteral("ctrl+Prior")));
        QVERIFY(desktest::key(QStringLiteral("ctrl+Prior")));
        QVERIFY(onPage(second, TMDIChild::Image));
        QVERIFY(desktest::key(QStringLiteral("alt+7")));
        QVERIFY(onPage(second, TMDIChild::Commentaire));
        QVERIFY(hasKeyboard(second));

        // F1 on the page opens its topic; Esc closes the help and the document has the keyboard
        // again.
        QVERIFY(desktest::key(QStringLiteral("F1")));
        QTRY_VERIFY_WITH_TIMEOUT(platform::Help::window() && platform::Help::window()->isActiveWindow(),
                                 kWait);
        QVERIFY(desktest::key(QStringLiteral("Escape")));
        QTRY_VERIFY_WITH_TIMEOUT(!platform::Help::window()->isVisible(), kWait);
        QVERIFY(hasKeyboard(second));

        // The same from a modal window: the help opened over the calculator closes with Esc and
        // leaves the calculator with the keyboard, so that Esc then closes it.
        bool helpShown = false;
        bool backToCalculator = false;
        desktest::onNextModal([&helpShown, &backToCalculator](QWidget *calculator) {
            if (!desktest::key(QStringLiteral("F1")))
                return;
            helpShown = QTest::qWaitFor(
                [] {
                    return platform::Help::window() &&
                           QApplication::activeWindow() == platform::Help::window();
                },
                kWait);
            if (!helpShown || !desktest::key(QStringLiteral("Escape")))
                return;
            backToCalculator =
                QTest::qWaitFor([calculator] { return QApplication::activeWindow() == calculator; }, kWait);
            desktest::key(QStringLiteral("Escape"));
        });
        QVERIFY(desktest::key(QStringLiteral("alt+u")));
        QVERIFY(QTest::qWaitFor([&frame] { return frame->Utilitaires1->isVisible(); }, kWait));
        QVERIFY(desktest::key(QStringLiteral("a"))); // "C&alculatrice"
        QTRY_VERIFY_WITH_TIMEOUT(helpShown && !QApplication::activeModalWidget(), kWait);
        QVERIFY(backToCalculator);
        QVERIFY(hasKeyboard(second));

        // Ctrl+Tab is the client area's: the other document comes to the front, and neither
        // document's page moves.
        QVERIFY(desktest::key(QStringLiteral("ctrl+Tab")));
        QTRY_VERIFY_WITH_TIMEOUT(frame->activeChild() != second, kWait);
        TMDIChild *first = frame->activeChild();
        QVERIFY(hasKeyboard(first));
        QCOMPARE(first->currentPage(), int(TMDIChild::Description));
        QCOMPARE(second->currentPage(), int(TMDIChild::Commentaire));
        QVERIFY(desktest::key(QStringLiteral("ctrl+Next")));
        QVERIFY(onPage(first, TMDIChild::Carburant));
        QCOMPARE(second->currentPage(), int(TMDIChild::Commentaire));

        // Nothing was changed: the documents close without a question.
        frame->mdiArea()->closeAllSubWindows();
        QTRY_COMPARE_WITH_TIMEOUT(frame->documentCount(), 0, kWait);
    }

private:
    QTemporaryDir m_dir;
    QString m_home;
};

int main(int argc, char **argv)
{
    return desktest::run<DesktopPageKeysTest>(argc, argv);
}

#include "desk_pagekeys.moc"
