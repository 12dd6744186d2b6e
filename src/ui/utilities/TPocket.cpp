#include "ui/utilities/TPocket.h"
#include "ui/utilities/TLook.h"

#include "platform/fonts.h"
#include "platform/messages.h"

#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <iterator>

namespace {

using look::Navy;
using look::paint;
using look::Teal;
const QColor Silver(0xc0, 0xc0, 0xc0);

struct ButtonPlace {
    const char16_t *caption;
    int left, top;
    const char16_t *keys;
};

// Indexed by the button's number.
constexpr ButtonPlace Places[20] = {
    {u"0", 56, 177, u"0"},      {u"1", 8, 137, u"1"},       {u"2", 56, 137, u"2"},
    {u"3", 105, 137, u"3"},     {u"4", 8, 97, u"4"},        {u"5", 56, 97, u"5"},
    {u"6", 105, 97, u"6"},      {u"7", 8, 57, u"7"},        {u"8", 56, 57, u"8"},
    {u"9", 104, 57, u"9"},      {u",", 8, 177, u",."},      {u"=", 104, 177, u"="},
    {u"+", 152, 57, u"+"},      {u"-", 152, 97, u"-"},      {u"*", 152, 137, u"*"},
    {u"/", 152, 177, u"/"},     {u"1/x", 200, 57, u"Xx"},   {u"sqr", 200, 97, u"Ss"},
    {u"C", 200, 137, u"Cc"},    {u"Fermer", 248, 177, u""},
};

} // namespace

TPocket::TPocket(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint
                          | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TPocket"));
    setWindowTitle(QStringLiteral("Calculatrice"));
    QFont font = platform::windowFont();
    font.setPixelSize(17);
    font.setBold(true);
    setFont(font);
    paint(this, QPalette::Window, Teal);
    setFixedSize(342, 219);
    move(251, 116);

    auto *top = new QFrame(this);
    top->setObjectName(QStringLiteral("Panel1"));
    top->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    top->setLineWidth(2);
    top->setGeometry(0, 0, 342, 49);
    paint(top, QPalette::Window, Qt::white);

    auto *screen = new QFrame(top);
    screen->setObjectName(QStringLiteral("Panel2"));
    screen->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    screen->setLineWidth(4);
    screen->setGeometry(4, 4, 185, 41);
    paint(screen, QPalette::Window, Navy);

    Label1 = new QLabel(screen);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(screen->contentsRect().adjusted(2, 0, -4, 0));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    paint(Label1, QPalette::WindowText, Silver);

    Label2 = new QLabel(top);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(191, 20, 147, 9);
    paint(Label2, QPalette::Window, Qt::red);

    for (int i = 0; i < 20; ++i) {
        const ButtonPlace &p = Places[i];
        auto *b = new QPushButton(QString::fromUtf16(p.caption), this);
        b->setObjectName(QStringLiteral("Button%1").arg(i));
        b->setGeometry(p.left, p.top, i == 19 ? 74 : 34, 33);
        b->setAutoDefault(false);
        m_buttons[std::size_t(i)] = b;
    }
    m_buttons[11]->setDefault(true);
    // What a screen reader says for the signs and abbreviations of the keys.
    static constexpr const char16_t *Spoken[] = {
        u"Virgule",       u"Égal",       u"Plus",          u"Moins",
        u"Multiplié par", u"Divisé par", u"Inverse (1/x)", u"Racine carrée (sqr)",
        u"Effacer (C)"};
    for (std::size_t i = 0; i < std::size(Spoken); ++i)
        m_buttons[10 + i]->setAccessibleName(QString::fromUtf16(Spoken[i]));

    m_actions = {[this] { Button0Click(); },  [this] { Button1Click(); },  [this] { Button2Click(); },
                 [this] { Button3Click(); },  [this] { Button4Click(); },  [this] { Button5Click(); },
                 [this] { Button6Click(); },  [this] { Button7Click(); },  [this] { Button8Click(); },
                 [this] { Button9Click(); },  [this] { Button10Click(); }, [this] { Button11Click(); },
                 [this] { Button12Click(); }, [this] { Button13Click(); }, [this] { Button14Click(); },
                 [this] { Button15Click(); }, [this] { Button16Click(); }, [this] { Button17Click(); },
                 [this] { Button18Click(); }, [this] { Button19Click(); }};
    for (std::size_t i = 0; i < 20; ++i)
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { m_actions[i](); });
}

void TPocket::digit(int d)
{
    m_calc.digit(d);
    refresh();
}

void TPocket::applyOperator(Calculator::Operator op)
{
    report(m_calc.applyOperator(op));
}

void TPocket::Button10Click()
{
    m_calc.comma();
    refresh();
}

void TPocket::Button11Click()
{
    report(m_calc.evaluate());
}

void TPocket::Button16Click()
{
    report(m_calc.reciprocal());
}

void TPocket::Button17Click()
{
    report(m_calc.squareRoot());
}

void TPocket::Button18Click()
{
    m_calc.clear();
    refresh();
    m_buttons[11]->setFocus();
}

void TPocket::Button19Click()
{
    reject();
}

void TPocket::FormActivate()
{
    Button18Click();
}

void TPocket::report(const Calculator::Error &error)
{
    refresh();
    if (error)
        platform::Messages::error(this, *error);
}

void TPocket::refresh()
{
    // Results of up to 20 characters (0,333333333333333, -1,0091381074415E-28) are wider than
    // the display in the window's font, and a text cut at its left end reads as another
    // number: the font shrinks until the text fits. Longer typed numbers scroll off the left.
    const QString &text = m_calc.display();
    const int room = Label1->contentsRect().width();
    QFont f = font();
    int pixels = f.pixelSize();
    while (pixels > 10 && QFontMetrics(f).horizontalAdvance(text) > room)
        f.setPixelSize(--pixels);
    Label1->setFont(f);
    Label1->setText(text);
}

bool TPocket::FormKeyPress(QChar key)
{
    for (std::size_t i = 0; i < 20; ++i) {
        if (key.isNull() || !QStringView(Places[i].keys).contains(key))
            continue;
        QPushButton *b = m_buttons[i];
        // Acts at once (fast typing loses no key) and shows the press for a moment.
        b->setDown(true);
        QTimer::singleShot(100, b, [b] { b->setDown(false); });
        m_actions[i]();
        return true;
    }
    return false;
}

void TPocket::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Button19Click();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && FormKeyPress(text[0]))
        return;
    QDialog::keyPressEvent(event);
}

void TPocket::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // Activation clears the calculation; it runs when the window opens, not when it comes back
    // from its own error box, which must leave the state as the failed key found it.
    if (!event->spontaneous())
        FormActivate();
}
