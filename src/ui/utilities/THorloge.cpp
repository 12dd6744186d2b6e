#include "ui/utilities/THorloge.h"

#include "platform/messages.h"
#include "platform/systemclock.h"

#include <QButtonGroup>
#include <QEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionFocusRect>
#include <QTimer>
#include <QToolButton>

namespace {

QFont arial(int pixels, bool bold, bool italic = false)
{
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

void paint(QWidget *w, QPalette::ColorRole role, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
}

// A lowered panel holding one display label, centred.
QLabel *displayPanel(QWidget *parent, const QRect &geometry, const QString &name)
{
    auto *panel = new QFrame(parent);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    panel->setLineWidth(2);
    panel->setGeometry(geometry);
    panel->setAutoFillBackground(true);
    paint(panel, QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
    auto *label = new QLabel(panel);
    label->setObjectName(name);
    label->setGeometry(panel->contentsRect());
    label->setAlignment(Qt::AlignCenter);
    label->setFont(arial(20, true));
    paint(label, QPalette::WindowText, Qt::black);
    return label;
}

// No button is the window's default, so that Enter on the selector or the spin control does not
// press "Set"; Enter on a focused button presses that button.
void noDefaultButton(const QList<QPushButton *> &buttons)
{
    for (QPushButton *b : buttons)
        b->setAutoDefault(false);
}

constexpr int firstRepeatMs = 400;
constexpr int repeatMs = 100;

} // namespace

THorlogeSpin::THorlogeSpin(QWidget *parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)),
      m_repeat(new QTimer(this))
{
    setFocusPolicy(Qt::StrongFocus);
    for (QToolButton *b : {m_up, m_down}) {
        b->setArrowType(b == m_up ? Qt::UpArrow : Qt::DownArrow);
        b->setAccessibleName(b == m_up ? QStringLiteral("Plus") : QStringLiteral("Moins"));
        b->setFocusPolicy(Qt::NoFocus);
        // One step on the press, then the repeat while the button is held.
        connect(b, &QToolButton::pressed, this, [this, b] {
            setFocus(Qt::MouseFocusReason);
            m_repeatUp = b == m_up;
            m_repeat->start(firstRepeatMs);
            stepOnce(m_repeatUp);
        });
        connect(b, &QToolButton::released, m_repeat, &QTimer::stop);
    }
    connect(m_repeat, &QTimer::timeout, this, [this] {
        m_repeat->setInterval(repeatMs);
        // Dragged off the button while holding it: pause until the pointer comes back.
        if ((m_repeatUp ? m_up : m_down)->isDown())
            stepOnce(m_repeatUp);
    });
}

void THorlogeSpin::stepOnce(bool up)
{
    if (up)
        emit upClick();
    else
        emit downClick();
}

void THorlogeSpin::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Up || e->key() == Qt::Key_Down)
        stepOnce(e->key() == Qt::Key_Up);
    else
        QWidget::keyPressEvent(e);
}

void THorlogeSpin::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    QPainter p(this);
    QStyleOptionFocusRect opt;
    opt.initFrom(this);
    opt.backgroundColor = palette().color(QPalette::Window);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &opt, &p, this);
}

void THorlogeSpin::resizeEvent(QResizeEvent *)
{
    // A margin of two pixels leaves room for the focus frame.
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    const int half = inner.height() / 2;
    m_up->setGeometry(inner.x(), inner.y(), inner.width(), half);
    m_down->setGeometry(inner.x(), inner.y() + half, inner.width(), inner.height() - half);
}

THorloge::THorloge(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("THorloge"));
    setWindowTitle(QStringLiteral("Horloge"));
    setFixedSize(238, 130);
    setAutoFillBackground(true);
    paint(this, QPalette::Window, Qt::black);

    // Created first: first in the tab order.
    Button1 = new QPushButton(QStringLiteral("Fermer"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(162, 98, 68, 24);

    Label1 = displayPanel(this, QRect(8, 8, 126, 36), QStringLiteral("Label1"));
    Label4 = new QFrame(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setGeometry(8, 51, 126, 2);
    Label4->setAutoFillBackground(true);
    paint(Label4, QPalette::Window, Qt::white);
    Label2 = displayPanel(this, QRect(8, 60, 126, 36), QStringLiteral("Label2"));

    Label3 = new QLabel(QStringLiteral("TEV"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(8, 102, 80, 22);
    Label3->setFont(arial(18, true, true));
    paint(Label3, QPalette::WindowText, Qt::white);

    RadioGroup1 = new QGroupBox(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(142, 4, 50, 92);
    RadioGroup1->setFont(arial(12, true));
    paint(RadioGroup1, QPalette::WindowText, Qt::white);
    m_fields = new QButtonGroup(this);
    const QString items[] = {QStringLiteral("Hr"), QStringLiteral("Mn"), QStringLiteral("Jo"),
                             QStringLiteral("Mo"), QStringLiteral("An")};
    // The captions are abbreviations: a screen reader says the words.
    const QString spoken[] = {QStringLiteral("Heures"), QStringLiteral("Minutes"), QStringLiteral("Jour"),
                              QStringLiteral("Mois"), QString::fromUtf16(u"Année")};
    for (int i = 0; i < 5; ++i) {
        auto *r = new QRadioButton(items[i], RadioGroup1);
        r->setAccessibleName(spoken[i]);
        r->setGeometry(6, 4 + i * 17, 42, 17);
        m_fields->addButton(r, i);
    }

    SpinButton1 = new THorlogeSpin(this);
    SpinButton1->setObjectName(QStringLiteral("SpinButton1"));
    SpinButton1->setGeometry(200, 6, 24, 44);
    SpinButton1->setAccessibleName(QStringLiteral("Changer le champ choisi"));
    SpinButton1->setAccessibleDescription(QStringLiteral("Flèche haut, flèche bas : plus, moins"));
    connect(SpinButton1, &THorlogeSpin::upClick, this, &THorloge::SpinButton1UpClick);
    connect(SpinButton1, &THorlogeSpin::downClick, this, &THorloge::SpinButton1DownClick);

    Button2 = new QPushButton(QStringLiteral("Set"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(196, 56, 32, 22);
    Button2->setAccessibleDescription(QString::fromUtf16(
        u"Arrête l'horloge pour la régler ; une seconde fois, règle l'horloge de l'ordinateur"));
    connect(Button2, &QPushButton::clicked, this, &THorloge::Button2Click);
    connect(Button1, &QPushButton::clicked, this, &THorloge::Button1Click);

    noDefaultButton({Button1, Button2});

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &THorloge::Timer1Timer);

    Timer1Timer();
}

int THorloge::selectedField() const
{
    return m_fields->checkedId();
}

void THorloge::selectField(int index)
{
    if (QAbstractButton *b = m_fields->button(index))
        b->setChecked(true);
}

void THorloge::FormActivate()
{
    Timer1->start();
    Timer1Timer();
    m_setting = false;
}

void THorloge::FormDeactivate()
{
    Timer1->stop();
}

void THorloge::Timer1Timer()
{
    const QDateTime now = platform::SystemClock::now();
    Label1->setText(horloge::timeText(now.time()));
    Label2->setText(horloge::dateText(now.date()));
}

void THorloge::Button2Click()
{
    m_setting = !m_setting;
    if (m_setting) {
        Timer1->stop();
        return;
    }
    // A display that is not a number leaves the clock stopped until the next activation.
    if (Modifie() != horloge::SetResult::NotANumber)
        Timer1->start();
}

horloge::SetResult::Outcome THorloge::Modifie()
{
    const horloge::SetResult r = horloge::setFromDisplays(Label1->text(), Label2->text(), m_setter);
    if (r.outcome != horloge::SetResult::Set)
        platform::Messages::error(this, r.message);
    return r.outcome;
}

void THorloge::step(int d)
{
    const int f = selectedField();
    if (f < 0)
        return;
    QLabel *display = f <= horloge::Mn ? Label1 : Label2;
    QString text = display->text();
    QString error;
    if (!horloge::stepField(text, horloge::Field(f), d, &error)) {
        platform::Messages::error(this, error);
        return;
    }
    display->setText(text);
}

void THorloge::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (auto *b = qobject_cast<QPushButton *>(focusWidget()))
            b->click();
        return;
    }
    QDialog::keyPressEvent(e);   // Esc closes
}

void THorloge::changeEvent(QEvent *e)
{
    QDialog::changeEvent(e);
    if (e->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        FormActivate();
    else
        FormDeactivate();
}

void THorloge::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Button1->setFocus(Qt::OtherFocusReason);
    // Also here, so that the displays are fresh even before the window manager activates it.
    FormActivate();
}

void THorloge::hideEvent(QHideEvent *e)
{
    FormDeactivate();
    QDialog::hideEvent(e);
}
