// Start-up, the main frame's status bar and hints, help, the error box and closing.
#include "app/TAboutBox.h"
#include "app/TMainForm.h"
#include "app/singlewindows.h"
#include "app/startup.h"
#include "app/statuspanels.h"
#include "app/toolpictures.h"
#include "guitest.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/systemclock.h"
#include "ui/document/documentwindows.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <memory>
#include <stdexcept>

using platform::Help;
using platform::Messages;

namespace {
// A document window that answers "Annuler" to the close question until told otherwise.
class RefusingDocument : public QWidget {
public:
    bool refuse = true;
    int asked = 0;

protected:
    void closeEvent(QCloseEvent *e) override
    {
        ++asked;
        e->setAccepted(!refuse);
    }
};

QStringList enabledNames(const TMainForm &f, const QList<QObject *> &objects)
{
    QStringList out;
    for (QObject *o : objects) {
        const bool on = qobject_cast<QAction *>(o) ? qobject_cast<QAction *>(o)->isEnabled()
                                                   : qobject_cast<QWidget *>(o)->isEnabled();
        if (on)
            out << o->objectName();
    }
    Q_UNUSED(f);
    return out;
}
} // namespace

class ShellTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        guitest::useSeams();
        Help::setTestMode(true);
        m_home = QDir::currentPath();
    }
    void init()
    {
        Messages::clearShown();
        Help::setTestMode(true);
        platform::SystemClock::clearFake();
    }
    void cleanup()
    {
        QDir::setCurrent(m_home);
        platform::SystemClock::clearFake();
    }

    void startupCreatesSingleWindowsHiddenInOrder()
    {
        std::unique_ptr<TMainForm> frame(startup::createWindows());
        QVERIFY(!frame->isVisible());
        QVERIFY(singles().AboutBox && documentWindows().FCarbu && documentWindows().FEntr && documentWindows().Station);
        const QStringList order{QStringLiteral("TAboutBox"),   QStringLiteral("TFCarbu"),
                                QStringLiteral("TFEntr"),      QStringLiteral("TGraph"),
                                QStringLiteral("TStats"),      QStringLiteral("TStation"),
                                QStringLiteral("TCalendrier"), QStringLiteral("TEurof"),
                                QStringLiteral("THorloge"),    QStringLiteral("TPocket")};
        int last = -1;
        for (const SingleWindows::Entry &e : singles().created) {
            const int at = int(order.indexOf(e.className));
            QVERIFY2(at > last, qPrintable(e.className + QStringLiteral(" created out of order")));
            last = at;
            QVERIFY(e.window->isHidden());
            QCOMPARE(e.window->parentWidget(), frame.get());
        }
        QVERIFY(frame->findChildren<QMdiSubWindow *>().isEmpty());
        frame.reset();
        QVERIFY(!singles().AboutBox);
        QVERIFY(singles().created.isEmpty());
    }

    void menuEntriesStartWithTheirInitialStates()
    {
        TMainForm f;
        QList<QObject *> all;
        for (QAction *a : f.findChildren<QAction *>())
            if (!a->objectName().isEmpty() && !a->isSeparator() && !a->menu())
                all << a;
        QStringList off;
        for (QObject *o : all)
            if (!qobject_cast<QAction *>(o)->isEnabled())
                off << o->objectName();
        off.sort();
        // Undo and redo have nothing to act on yet either.
        QCOMPARE(off, (QStringList{QStringLiteral("CopyItem"), QStringLiteral("CutItem"),
                                   QStringLiteral("Exporter1"), QStringLiteral("PasteItem"),
                                   QStringLiteral("RedoItem"), QStringLiteral("UndoItem")}));

        // Once the frame is active, the first evaluation leaves only what needs no document.
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QList<QObject *> controls = all;
        for (QToolButton *b : f.SpeedPanel->findChildren<QToolButton *>())
            controls << b;
        QStringList on = enabledNames(f, controls);
        on.sort();
        QCOMPARE(on, (QStringList{QStringLiteral("Calculatrice1"), QStringLiteral("Calendrier1"),
                                  QStringLiteral("EuroConversion1"), QStringLiteral("FileExitItem"),
                                  QStringLiteral("FileNewItem"), QStringLiteral("FileOpenItem"),
                                  QStringLiteral("HelpAboutItem"), QStringLiteral("Horloge1"),
                                  QStringLiteral("Importer1"), QStringLiteral("OpenBtn"), QStringLiteral("Rechercher1"),
                                  QStringLiteral("Sommaire1"), QStringLiteral("SpeedButton1"),
                                  QStringLiteral("Utiliserlaide1")}));
    }

    void toolButtonsSitAtTheirPlaces()
    {
        TMainForm f;
        const QList<std::pair<QToolButton *, int>> lefts{
            {f.SpeedButton1, 6},   {f.OpenBtn, 31},       {f.SaveBtn, 56},
            {f.CutBtn, 87},        {f.CopyBtn, 112},      {f.PasteBtn, 137},
            {f.SpeedButton2, 169}, {f.SpeedButton3, 210}, {f.SpeedButton4, 235}};
        for (const auto &[button, left] : lefts) {
            QCOMPARE(button->geometry(), QRect(left, 4, 25, 25));
            QVERIFY(button->autoRaise());
            QVERIFY(!button->icon().isNull());
            QCOMPARE(button->toolTip(), button->statusTip());
        }
        QCOMPARE(f.SpeedPanel->height(), 33);
    }

    void toolPicturesAreDrawnWithADisabledLook()
    {
        for (const char *name :
             {"new", "open", "save", "cut", "copy", "paste", "delete", "statistics", "chart"}) {
            const QImage normal = toolpictures::render(QString::fromLatin1(name), 20);
            const QImage disabled = toolpictures::disabledLook(normal);
            int drawn = 0, coloured = 0;
            for (int y = 0; y < 20; ++y)
                for (int x = 0; x < 20; ++x) {
                    drawn += qAlpha(normal.pixel(x, y)) > 0;
                    const QRgb d = disabled.pixel(x, y);
                    coloured += qAlpha(d) > 0 && !(qRed(d) == qGreen(d) && qGreen(d) == qBlue(d));
                }
            QVERIFY2(drawn > 40, name);
            QCOMPARE(coloured, 0);
            QVERIFY2(disabled != normal, name);
        }
    }

    void statusPanelsFollowTheFrameWidth()
    {
        TMainForm f;
        QCOMPARE(f.StatusBar->panelWidth(0), 50);
        QCOMPARE(f.StatusBar->panelWidth(1), 50);
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QVERIFY(f.isMaximized());
        QCOMPARE(f.StatusBar->panelWidth(0), f.frameGeometry().width() - 100);
        f.showNormal();
        QTRY_VERIFY(!f.isMaximized());
        // 800 pixels from the outer edge to the outer edge, window frame included.
        f.resize(800 - (f.frameGeometry().width() - f.width()), 500);
        QTRY_COMPARE(f.frameGeometry().width(), 800);
        QCOMPARE(f.StatusBar->panelWidth(0), 700);
        QCOMPARE(f.StatusBar->panelWidth(1), 50);
        QCOMPARE(f.StatusBar->height(), 23);
    }

    void clockPanelIsEmptyUntilTheFirstTick()
    {
        platform::SystemClock::setFake(QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9)));
        TMainForm f;
        QVERIFY(f.StatusBar->panelText(1).isEmpty());
        QCOMPARE(f.Timer1->interval(), 1000);
        QVERIFY(f.Timer1->isActive());
        QTRY_COMPARE_WITH_TIMEOUT(f.StatusBar->panelText(1), QStringLiteral("14:05:09"), 3000);
    }

    void clockText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::newRow("French") << "fr_FR"
                                << "14:05:09";
        QTest::newRow("US, 12 hours") << "en_US"
                                      << "2:05:09 PM";
        QTest::newRow("German") << "de_DE"
                                << "14:05:09";
    }
    void clockText()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QCOMPARE(TMainForm::clockText(QTime(14, 5, 9), QLocale(locale)), text);
    }

    void hintOfMenuEntryShownThenCleared()
    {
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.File1->popup(f.mapToGlobal(QPoint(10, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(f.File1));
        f.File1->setActiveAction(f.FileOpenItem);
        QCOMPARE(f.StatusBar->panelText(0), QStringLiteral("Ouvrir un fichier existant"));
        f.File1->hide();
        QCOMPARE(f.StatusBar->panelText(0), QString());
        // A highlighted menu title shows its menu's hint; a menu without one clears the panel.
        f.MainMenu1->setActiveAction(f.File1->menuAction());
        QTRY_COMPARE(f.StatusBar->panelText(0), QStringLiteral("Commandes liées aux menus"));
        f.MainMenu1->setActiveAction(f.Edit1->menuAction());
        QTRY_COMPARE(f.StatusBar->panelText(0), QString());
        f.Edit1->hide();
    }

    void hintOfToolButtonShownThenCleared()
    {
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QTest::mouseMove(f.OpenBtn);
        QTRY_COMPARE(f.StatusBar->panelText(0), QStringLiteral("Ouvrir"));
        QCOMPARE(f.OpenBtn->toolTip(), QStringLiteral("Ouvrir"));
        QTest::mouseMove(f.mdiArea()->viewport(), QPoint(200, 200));
        QTRY_COMPARE(f.StatusBar->panelText(0), QString());
    }

    void aboutBoxOpensModallyAndClosesWithEnter()
    {
        std::unique_ptr<TMainForm> frame(startup::createWindows());
        frame->show();
        QVERIFY(QTest::qWaitForWindowActive(frame.get()));
        TAboutBox *box = singles().AboutBox;
        QCOMPARE(box->windowTitle(), QStringLiteral("A propos"));
        QCOMPARE(box->size(), QSize(367, 258));
        bool wasModal = false;
        QTimer::singleShot(0, box, [&] {
            wasModal = QApplication::activeModalWidget() == box;
            QTest::keyClick(box, Qt::Key_Return);
        });
        frame->HelpAboutItem->trigger();
        QVERIFY(wasModal);
        QCOMPARE(box->result(), int(QDialog::Accepted));
        QVERIFY(box->isHidden());
    }

    void errorBoxAddsFullStop_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "Division flottante par zéro"
                                << "Division flottante par zéro.";
        QTest::newRow("full stop") << "Fichier introuvable."
                                   << "Fichier introuvable.";
        QTest::newRow("exclamation") << "Attention !"
                                     << "Attention !";
        QTest::newRow("comma") << "a, b,"
                               << "a, b,";
        QTest::newRow("parenthesis") << "Erreur (12)"
                                     << "Erreur (12)";
        QTest::newRow("digit") << "Erreur 12"
                               << "Erreur 12.";
        QTest::newRow("slash") << "C:/"
                               << "C:/.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorBoxAddsFullStop()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(Messages::withFullStop(message), shown);
    }

    void failingCommandEndsInTheErrorBox()
    {
        TMainForm f;
        bool after = false;
        f.runCommand([] { throw std::runtime_error("Ne peut créer le fichier /x/y.txt"); });
        f.runCommand([&] { after = true; });
        QCOMPARE(Messages::shown(), QStringList{QStringLiteral("error: Ne peut créer le fichier /x/y.txt.")});
        QVERIFY(after);
    }

    void helpCommandsUseTheStartDirectory()
    {
        QTemporaryDir elsewhere;
        QVERIFY(QDir::setCurrent(elsewhere.path()));
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        const QString file = QDir::currentPath() + QStringLiteral("/TevAuto.hlp");
        QCOMPARE(Help::helpFile(), file);
        f.Sommaire1->trigger();
        f.Rechercher1->trigger();
        f.Utiliserlaide1->trigger();
        QCOMPARE(Help::calls(),
                 (QStringList{QStringLiteral("contents ") + file, QStringLiteral("search \"\" ") + file,
                              QStringLiteral("howto ") + file}));
    }

    void f1OnAMenuOpensItsTopic_data()
    {
        QTest::addColumn<QString>("menu");
        QTest::addColumn<QString>("entry");
        QTest::addColumn<int>("context");
        QTest::newRow("Fichier") << "File1"
                                 << "" << 3;
        QTest::newRow("Edition entry") << "Edit1"
                                       << "Supprimercriture1" << 4;
        QTest::newRow("Résultat entry") << "Rsultat1"
                                        << "Graphique1" << 5;
        QTest::newRow("Utilitaires entry") << "Utilitaires1"
                                           << "Horloge1" << 6;
        QTest::newRow("Fenêtre") << "Window1"
                                 << "" << 7;
        QTest::newRow("Aide entry") << "Help1"
                                    << "HelpAboutItem" << 8;
    }
    void f1OnAMenuOpensItsTopic()
    {
        QFETCH(QString, menu);
        QFETCH(QString, entry);
        QFETCH(int, context);
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        Help::setTestMode(true);
        auto *m = f.findChild<QMenu *>(menu);
        QVERIFY(m);
        m->popup(f.mapToGlobal(QPoint(10, 20)));
        QVERIFY(QTest::qWaitForWindowExposed(m));
        if (!entry.isEmpty())
            m->setActiveAction(f.findChild<QAction *>(entry));
        QTest::keyClick(m, Qt::Key_F1);
        QCOMPARE(Help::calls(),
                 QStringList{QStringLiteral("context %1 %2").arg(context).arg(Help::helpFile())});
        QVERIFY(!m->isVisible());
    }

    void helpFileHasEveryContextAndNoBrokenLink()
    {
        const platform::HelpFile file = Help::read(QStringLiteral(TEV_SOURCE_DIR "/resources/TevAuto.hlp"));
        QVERIFY2(file.ok(), qPrintable(file.error));
        QStringList anchors;
        for (const platform::HelpTopic &t : file.topics) {
            QVERIFY(!t.title.isEmpty());
            anchors << t.anchor;
        }
        for (int n = 3; n <= 8; ++n)
            QVERIFY2(anchors.contains(Help::contextAnchor(n)), qPrintable(Help::contextAnchor(n)));
        static const QRegularExpression link(QStringLiteral("href=\"#([^\"]+)\""));
        for (auto it = link.globalMatch(file.html); it.hasNext();) {
            const QString target = it.next().captured(1);
            QVERIFY2(anchors.contains(target), qPrintable(target));
        }
    }

    void missingHelpFileIsReportedByTheEngine()
    {
        const platform::HelpFile file = Help::read(QStringLiteral("/nonexistent/TevAuto.hlp"));
        QVERIFY(!file.ok());
        QVERIFY(file.error.contains(QStringLiteral("/nonexistent/TevAuto.hlp")));
    }

    void closingStopsWhenADocumentRefuses()
    {
        QTemporaryDir start, other;
        QVERIFY(QDir::setCurrent(start.path()));
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        f.CreateChild(QStringLiteral("VOITURE1"));
        auto *refusing = new RefusingDocument;
        f.mdiArea()->addSubWindow(refusing)->show();
        QVERIFY(QDir::setCurrent(other.path()));

        f.FileExitItem->trigger();
        QCOMPARE(refusing->asked, 1);
        QVERIFY(f.isVisible());
        QCOMPARE(f.documentCount(), 2);
        QCOMPARE(QDir::currentPath(), QDir(other.path()).canonicalPath());

        refusing->refuse = false;
        QVERIFY(f.close());
        QVERIFY(!f.isVisible());
        QCOMPARE(QDir::currentPath(), QDir(start.path()).canonicalPath());
    }

    void closingProceedsWhenTheStartDirectoryIsGone()
    {
        auto start = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir::setCurrent(start->path()));
        TMainForm f;
        f.show();
        QVERIFY(QTest::qWaitForWindowActive(&f));
        QVERIFY(QDir::setCurrent(m_home));
        start.reset();
        QVERIFY(f.close());
    }

private:
    QString m_home;
};

QTEST_MAIN(ShellTest)
#include "gui_shell.moc"
