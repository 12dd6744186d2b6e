#include "app/TMainForm.h"

#include "app/helpkeys.h"
#include "app/startup.h"
#include "app/statuspanels.h"
#include "app/toolpictures.h"
#include "platform/fonts.h"
#include "platform/help.h"
#include "platform/messages.h"
#include "platform/systemclock.h"
#include "ui/document/TMDIChild.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTime>
#include <QTimer>
#include <QUndoGroup>
#include <QUndoStack>
#include <QVBoxLayout>

#include <exception>
#include <functional>

namespace {
// Calls back when one of the program's modal windows opens or closes. These are changes of the
// active window the program makes itself: they are taken when they happen, not when the window
// manager gets round to activating the next window (by then a command may have run and narrowed
// a rule, as loading a file narrows export).
class ModalWatcher : public QObject {
public:
    ModalWatcher(QObject *parent, std::function<void()> changed)
        : QObject(parent), m_changed(std::move(changed))
    {
        qApp->installEventFilter(this);
    }
    ~ModalWatcher() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *watched, QEvent *e) override
    {
        // Only the program's own show() and hide(): not a window manager minimising a window.
        if ((e->type() == QEvent::Show || e->type() == QEvent::Hide) && !e->spontaneous() &&
            watched->isWidgetType()) {
            auto *w = static_cast<QWidget *>(watched);
            if (w->isWindow() && w->isModal())
                m_changed();
        }
        return false;
    }

private:
    std::function<void()> m_changed;
};
} // namespace

TMainForm::TMainForm(QWidget *parent)
    : QMainWindow(parent), m_mdi(new QMdiArea), m_undoGroup(new QUndoGroup(this))
{
    initAppResources();
    setObjectName(QStringLiteral("TMainForm"));
    setWindowTitle(QStringLiteral("Tev Auto"));
    setWindowIcon(toolpictures::programIcon());
    QFont f = platform::windowFont();
    f.setPixelSize(14);
    setFont(f);
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    resize(605, 413);

    // Tool bar on top, then the client area; the status bar is the main window's own.
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    SpeedPanel = new QFrame(central);
    SpeedPanel->setObjectName(QStringLiteral("SpeedPanel"));
    SpeedPanel->setFixedHeight(33);
    SpeedPanel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    layout->addWidget(SpeedPanel);
    m_mdi->setParent(central);
    m_mdi->setObjectName(QStringLiteral("ClientArea"));
    m_mdi->setBackground(QApplication::palette().brush(QPalette::Dark));
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(m_mdi, 1);
    setCentralWidget(central);

    StatusBar = new StatusPanels(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    QFont sf = platform::windowFont();
    sf.setPixelSize(15);
    StatusBar->setFont(sf);
    StatusBar->addPanel(50, Qt::AlignLeft);
    StatusBar->addPanel(50, Qt::AlignHCenter);
    setStatusBar(StatusBar);

    buildMenus();
    buildRecentMenu();
    buildToolBar();
    // F1 on a window or a document page (the menus' F1 is in eventFilter).
    helpkeys::install(this);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    Timer1->start();

    FormCreate();
}

TMainForm::~TMainForm()
{
    FormDestroy();
}

void TMainForm::FormCreate()
{
    // The hint reaches DisplayHint through the status-tip events (see event()). The rules are
    // evaluated when the active window changes: a modal window opening or closing, another
    // document window (CreateChild, and the area's activation), a document window gone. Focus
    // moving inside a window, menus and popups (a date picker's calendar) are no change of window;
    // nor is the frame regaining the activation, which a window manager delivers late, after the
    // command that closed a dialog has run.
    m_modalWatcher = new ModalWatcher(this, [this] { UpdateMenuItems(); });
    m_hooks << connect(m_mdi, &QMdiArea::subWindowActivated, this, &TMainForm::documentActivated);
    // The steps of the active document, as they come and go.
    for (auto changed : {&QUndoGroup::canUndoChanged, &QUndoGroup::canRedoChanged})
        m_hooks << connect(m_undoGroup, changed, this, &TMainForm::updateUndoItems);
    for (auto changed : {&QUndoGroup::undoTextChanged, &QUndoGroup::redoTextChanged})
        m_hooks << connect(m_undoGroup, changed, this, &TMainForm::updateUndoItems);
    m_hooks << connect(m_undoGroup, &QUndoGroup::activeStackChanged, this, &TMainForm::updateUndoItems);
    m_deleteAllowed = false;
}

void TMainForm::FormDestroy()
{
    for (const QMetaObject::Connection &c : std::as_const(m_hooks))
        disconnect(c);
    m_hooks.clear();
    delete m_modalWatcher;
    m_modalWatcher = nullptr;
}

void TMainForm::showEvent(QShowEvent *e)
{
    QMainWindow::showEvent(e);
    if (!m_shown) {
        m_shown = true;
        FormShow();
    }
}

void TMainForm::FormShow()
{
    // Where the user left the frame last time; without a settings file, as the rules have it.
    if (!restoreWindowState()) {
        resize(width() - 10, height());
        setWindowState(windowState() | Qt::WindowMaximized);
    }
    m_startDir = QDir::currentPath();
    platform::Help::setHelpFile(QDir::toNativeSeparators(m_startDir + QStringLiteral("/TevAuto.hlp")));
    // The first evaluation, as the frame becomes the active window: no document command yet.
    UpdateMenuItems();
}

void TMainForm::resizeEvent(QResizeEvent *e)
{
    QMainWindow::resizeEvent(e);
    FormResize();
}

void TMainForm::FormResize()
{
    StatusBar->setPanelWidth(0, frameGeometry().width() - 100);
}

void TMainForm::Timer1Timer()
{
    StatusBar->setPanelText(1, clockText(platform::SystemClock::now().time(), QLocale::system()));
}

QString TMainForm::clockText(const QTime &time, const QLocale &locale)
{
    // The long format may end with the time-zone name ("t"): the clock leaves it out.
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString kept;
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        kept += c;
    }
    return locale.toString(time, kept.trimmed());
}

void TMainForm::DisplayHint(const QString &hint)
{
    StatusBar->setPanelText(0, hint);
}

bool TMainForm::event(QEvent *e)
{
    if (e->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent *>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

bool TMainForm::eventFilter(QObject *watched, QEvent *e)
{
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(e)->key() == Qt::Key_F1) {
        // F1 on a highlighted menu or entry: the topic of that menu.
        QMenu *menu = qobject_cast<QMenu *>(watched);
        if (!menu && watched == MainMenu1 && MainMenu1->activeAction())
            menu = MainMenu1->activeAction()->menu();
        // An entry with a topic of its own takes it; the others take their menu's.
        QVariant context = menu ? menu->property("helpContext") : QVariant();
        if (menu && menu->activeAction() && menu->activeAction()->property("helpContext").isValid())
            context = menu->activeAction()->property("helpContext");
        if (context.isValid()) {
            const int number = context.toInt();
            if (QMenu *open = qobject_cast<QMenu *>(QApplication::activePopupWidget()))
                open->close();
            platform::Help::context(this, number);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, e);
}

void TMainForm::closeEvent(QCloseEvent *e)
{
    if (m_closing || !queryCloseDocuments()) {
        e->ignore();
        return;
    }
    FormClose();
    e->accept();
}

bool TMainForm::queryCloseDocuments()
{
    // Every document is asked before any closes: a Cancel anywhere leaves them all open.
    m_closing = true;
    bool agreed = true;
    for (QMdiSubWindow *sub : m_mdi->subWindowList(QMdiArea::CreationOrder)) {
        QWidget *doc = sub->widget() ? sub->widget() : sub;
        // A question about a document is asked with that document in front.
        if (auto *child = qobject_cast<TMDIChild *>(doc); child && child->hasUnsavedChanges()) {
            if (sub->isMinimized())
                sub->showNormal();
            m_mdi->setActiveSubWindow(sub);
        }
        QCloseEvent query;
        QCoreApplication::sendEvent(doc, &query);
        if (!query.isAccepted()) {
            agreed = false;
            break;
        }
    }
    m_closing = false;
    return agreed;
}

void TMainForm::FormClose()
{
    keepWindowState();
    // A start directory that has gone must not keep the program from ending.
    if (!m_startDir.isEmpty())
        QDir::setCurrent(m_startDir);
}

void TMainForm::runCommand(const std::function<void()> &command)
{
    try {
        command();
    } catch (const std::exception &e) {
        platform::Messages::error(this, QString::fromUtf8(e.what()));
    } catch (...) {
        platform::Messages::error(this, QStringLiteral("Erreur inattendue"));
    }
}
