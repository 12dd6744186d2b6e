#include "ui/utilities/TEurof.h"
#include "ui/utilities/TLook.h"

#include "platform/fonts.h"

#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyleOptionFocusRect>
#include <QToolButton>

namespace {

using look::Navy;
using look::paint;
using look::Teal;

QFont boldFont(int pixels)
{
    QFont f = platform::windowFont();
    f.setPixelSize(pixels);
    f.setBold(true);
    return f;
}

} // namespace

TSpinButton::TSpinButton(QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    setFocusPolicy(Qt::StrongFocus);
    m_up->setObjectName(QStringLiteral("UpButton"));
    m_down->setObjectName(QStringLiteral("DownButton"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_up->setAccessibleName(QStringLiteral("Plus"));
    m_down->setAccessibleName(QStringLiteral("Moins"));
    for (QToolButton *b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(100);
        // A click on a half takes the focus, so that the arrow keys go on from there.
        connect(b, &QToolButton::pressed, this, [this] { setFocus(Qt::MouseFocusReason); });
    }
    // Steps on the press and on each repeat (the repeat timer emits pressed again), not on
    // the release, which would add one step after the button is let go.
    connect(m_up, &QToolButton::pressed, this, &TSpinButton::UpClick);
    connect(m_down, &QToolButton::pressed, this, &TSpinButton::DownClick);
}

void TSpinButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Up)
        emit UpClick();
    else if (event->key() == Qt::Key_Down)
        emit DownClick();
    else
        QWidget::keyPressEvent(event);
}

void TSpinButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void TSpinButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

void TSpinButton::paintEvent(QPaintEvent *)
{
    // The halves leave a two-pixel margin where the focus is shown.
    if (!hasFocus())
        return;
    QPainter painter(this);
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = rect();
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

void TSpinButton::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QRect r = rect().adjusted(2, 2, -2, -2);
    const int half = r.height() / 2;
    m_up->setGeometry(r.left(), r.top(), r.width(), half);
    m_down->setGeometry(r.left(), r.top() + half, r.width(), r.height() - half);
}

TEurof::TEurof(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TEurof"));
    setWindowTitle(QStringLiteral("Euro convertisseur"));
    setFont(boldFont(15));
    paint(this, QPalette::Window, Navy);
    setFixedSize(330, 262);

    auto display = [this](const QString &panelName, const QString &labelName, int top) {
        auto *panel = new QFrame(this);
        panel->setObjectName(panelName);
        panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        panel->setLineWidth(2);
        panel->setGeometry(8, top, 314, 34);
        paint(panel, QPalette::Window, Teal);
        auto *label = new QLabel(panel);
        label->setObjectName(labelName);
        label->setGeometry(panel->contentsRect().adjusted(4, 0, -6, 0));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label->setFont(boldFont(20));
        paint(label, QPalette::WindowText, Qt::white);
        return label;
    };
    Label1 = display(QStringLiteral("Panel1"), QStringLiteral("Label1"), 8);
    Label2 = display(QStringLiteral("Panel2"), QStringLiteral("Label2"), 48);

    // Keypad: 7 8 9 / 4 5 6 / 1 2 3 / 0 , =
    static constexpr int Grid[4][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}, {0, 12, 11}};
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 3; ++col) {
            const int n = Grid[row][col];
            const QString caption = n < 10 ? QString::number(n) : n == 12 ? QStringLiteral(",") : QStringLiteral("=");
            auto *b = new QPushButton(caption, this);
            b->setObjectName(QStringLiteral("Button%1").arg(n));
            b->setGeometry(8 + col * 50, 92 + row * 42, 44, 36);
            m_buttons[std::size_t(n)] = b;
            if (n < 10)
                connect(b, &QPushButton::clicked, this, [this, n] { ButtonClick(n); });
        }
    }
    for (int n : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 12}) {
        m_buttons[std::size_t(n)]->setFocusPolicy(Qt::NoFocus);
        m_buttons[std::size_t(n)]->setAutoDefault(false);
    }
    connect(m_buttons[12], &QPushButton::clicked, this, &TEurof::Button12Click);
    connect(m_buttons[11], &QPushButton::clicked, this, &TEurof::Button11Click);
    m_buttons[11]->setDefault(true);

    RadioGroup1 = new QGroupBox(this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(166, 88, 156, 70);
    RadioButton1 = new QRadioButton(QStringLiteral("Fr>Euro"), RadioGroup1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(14, 10, 132, 24);
    RadioButton2 = new QRadioButton(QStringLiteral("Euro>Fr"), RadioGroup1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(14, 38, 132, 24);
    for (QRadioButton *r : {RadioButton1, RadioButton2})
        paint(r, QPalette::WindowText, Qt::white);
    RadioButton1->setChecked(true);
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool euros) {
        m_euro.setDirection(euros ? EuroConverter::Direction::EurosToFrancs
                                  : EuroConverter::Direction::FrancsToEuros);
    });

    Edit3 = new QLineEdit(this);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setReadOnly(true);
    Edit3->setFocusPolicy(Qt::NoFocus);
    Edit3->setGeometry(166, 170, 126, 30);
    Edit3->setText(m_euro.rateText());

    SpinButton1 = new TSpinButton(this);
    SpinButton1->setObjectName(QStringLiteral("SpinButton1"));
    SpinButton1->setGeometry(294, 168, 28, 34);
    connect(SpinButton1, &TSpinButton::UpClick, this, &TEurof::SpinButton1UpClick);
    connect(SpinButton1, &TSpinButton::DownClick, this, &TEurof::SpinButton1DownClick);

    auto *close = new QPushButton(QStringLiteral("Fermer"), this);
    close->setObjectName(QStringLiteral("Button10"));
    close->setGeometry(166, 218, 156, 36);
    m_buttons[10] = close;
    connect(close, &QPushButton::clicked, this, &TEurof::Button10Click);

    // The arrows step the rate: a screen reader names them, and the rate, by what they are.
    Edit3->setAccessibleName(QStringLiteral("Taux de conversion (francs pour un euro)"));
    SpinButton1->setAccessibleName(QStringLiteral("Changer le taux"));
    SpinButton1->setAccessibleDescription(
        QStringLiteral("Flèche haut, flèche bas : taux suivant, précédent"));
    Label1->setAccessibleName(QStringLiteral("Montant saisi"));
    Label2->setAccessibleName(QString::fromUtf16(u"Résultat"));
    m_buttons[12]->setAccessibleName(QStringLiteral("Virgule"));
    m_buttons[11]->setAccessibleName(QString::fromUtf16(u"Égal"));

    setTabOrder(m_buttons[11], RadioButton1);
    setTabOrder(RadioButton1, SpinButton1);
    setTabOrder(SpinButton1, close);
}

void TEurof::refresh()
{
    Label1->setText(m_euro.entry());
    Label2->setText(m_euro.result());
}

void TEurof::FormActivate()
{
    Edit3->setText(m_euro.rateText());
    m_euro.activate();
    m_buttons[11]->setFocus();
}

void TEurof::FormKeyPress(QChar key)
{
    m_euro.keyPress(key);
    refresh();
}

void TEurof::ButtonClick(int digit)
{
    m_euro.button(QChar(u'0' + digit));
    refresh();
}

void TEurof::Button10Click()
{
    reject();
}

void TEurof::Button11Click()
{
    FormKeyPress(QLatin1Char('\r'));
}

void TEurof::Button12Click()
{
    m_euro.button(QLatin1Char(','));
    refresh();
}

void TEurof::SpinButton1UpClick()
{
    m_euro.stepUp();
    Edit3->setText(m_euro.rateText());
}

void TEurof::SpinButton1DownClick()
{
    m_euro.stepDown();
    Edit3->setText(m_euro.rateText());
}

void TEurof::keyPressEvent(QKeyEvent *event)
{
    // Enter and Esc keep their dialog meaning: Enter presses the focused or default button
    // ("=" converts), Esc presses "Fermer".
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        QDialog::keyPressEvent(event);
        return;
    default:
        break;
    }
    const QString text = event->text();
    if (text.size() == 1)
        FormKeyPress(text[0]);
    else
        QDialog::keyPressEvent(event);
}

void TEurof::showEvent(QShowEvent *event)
{
    if (!event->spontaneous()) {
        if (const QScreen *s = screen()) {
            QRect r = frameGeometry();
            r.moveCenter(s->availableGeometry().center());
            move(r.topLeft());
        }
        FormActivate();
    }
    QDialog::showEvent(event);
}
