#include "ui/utilities/TCalendrier.h"

#include "platform/systemclock.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

using calendrier::MonthGrid;

namespace {

// A black arrow head pointing left or right, for the "Mois" buttons.
QIcon arrowIcon(bool left)
{
    QPixmap pm(12, 12);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    if (left) {
        path.moveTo(2, 6);
        path.lineTo(9, 1);
        path.lineTo(9, 11);
    } else {
        path.moveTo(10, 6);
        path.lineTo(3, 1);
        path.lineTo(3, 11);
    }
    path.closeSubpath();
    p.fillPath(path, Qt::black);
    return QIcon(pm);
}

void paint(QWidget *w, QPalette::ColorRole role, const QColor &c)
{
    QPalette p = w->palette();
    p.setColor(role, c);
    w->setPalette(p);
}

// The buttons are not auto-default, so that no button stands as the window's default and Enter
// on the grid does nothing; Enter on a focused button presses that button.
void noDefaultButton(const QList<QPushButton *> &buttons)
{
    for (QPushButton *b : buttons)
        b->setAutoDefault(false);
}

void pressFocusedButton(QWidget *window)
{
    if (auto *b = qobject_cast<QPushButton *>(window->focusWidget()))
        b->click();
}

const QColor lime(0x00, 0xff, 0x00);
const QColor teal(0x00, 0x80, 0x80);

} // namespace

TCalendrierGrid::TCalendrierGrid(QWidget *parent)
    : QWidget(parent), m_date(platform::SystemClock::today())
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TCalendrierGrid::setDate(const QDate &date)
{
    if (!date.isValid() || date == m_date)
        return;
    m_date = date;
    update();
    emit dateChanged(m_date);
}

QRect TCalendrierGrid::cellRect(int row, int column) const
{
    // Spread the remainder of the division over the cells so that the grid fills the widget.
    const int x0 = column * width() / MonthGrid::Columns;
    const int x1 = (column + 1) * width() / MonthGrid::Columns;
    const int y0 = row * height() / MonthGrid::Rows;
    const int y1 = (row + 1) * height() / MonthGrid::Rows;
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

QPoint TCalendrierGrid::cellAt(const QPoint &pos) const
{
    if (!rect().contains(pos))
        return {-1, -1};
    return {pos.x() * MonthGrid::Columns / width(), pos.y() * MonthGrid::Rows / height()};
}

void TCalendrierGrid::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), lime);
    const MonthGrid grid(m_date);
    const QLocale locale = QLocale::system();
    const int selRow = grid.rowOf(m_date.day());
    const int selColumn = grid.columnOf(m_date.day());

    for (int row = 0; row < MonthGrid::Rows; ++row) {
        for (int column = 0; column < MonthGrid::Columns; ++column) {
            const QRect r = cellRect(row, column);
            QString text;
            if (row == 0)
                text = MonthGrid::dayName(column, locale);
            else if (const int day = grid.dayAt(row, column))
                text = QString::number(day);
            const bool selected = row == selRow && column == selColumn;
            if (selected)
                p.fillRect(r.adjusted(1, 1, 0, 0), palette().color(QPalette::Highlight));
            p.setPen(selected ? palette().color(QPalette::HighlightedText) : QColor(Qt::black));
            p.drawText(r, Qt::AlignCenter, text);
            if (selected && hasFocus()) {
                p.setPen(QPen(palette().color(QPalette::HighlightedText), 1, Qt::DotLine));
                p.drawRect(r.adjusted(3, 3, -3, -3));
            }
        }
    }

    p.setPen(QColor(0x00, 0x80, 0x00));
    for (int column = 1; column < MonthGrid::Columns; ++column) {
        const int x = cellRect(0, column).left();
        p.drawLine(x, 0, x, height());
    }
    for (int row = 1; row < MonthGrid::Rows; ++row) {
        const int y = cellRect(row, 0).top();
        p.drawLine(0, y, width(), y);
    }
}

void TCalendrierGrid::mousePressEvent(QMouseEvent *e)
{
    if (e->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(e);
    const QPoint cell = cellAt(e->position().toPoint());
    if (const int day = MonthGrid(m_date).dayAt(cell.y(), cell.x()))
        setDate(QDate(m_date.year(), m_date.month(), day));
}

void TCalendrierGrid::keyPressEvent(QKeyEvent *e)
{
    int dr = 0;
    int dc = 0;
    switch (e->key()) {
    case Qt::Key_Left: dc = -1; break;
    case Qt::Key_Right: dc = 1; break;
    case Qt::Key_Up: dr = -1; break;
    case Qt::Key_Down: dr = 1; break;
    default:
        return QWidget::keyPressEvent(e);
    }
    const MonthGrid grid(m_date);
    const int day = grid.dayAt(grid.rowOf(m_date.day()) + dr, grid.columnOf(m_date.day()) + dc);
    if (day)
        setDate(QDate(m_date.year(), m_date.month(), day));
}

TCalendrier::TCalendrier(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("TCalendrier"));
    setWindowTitle(QStringLiteral("Calendrier"));
    setFixedSize(308, 262);

    // Created first: first in the tab order.
    Calendar1 = new TCalendrierGrid(this);
    Calendar1->setObjectName(QStringLiteral("Calendar1"));
    Calendar1->setGeometry(0, 72, 308, 190);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setGeometry(0, 0, 308, 72);
    Panel1->setAutoFillBackground(true);
    paint(Panel1, QPalette::Window, teal);

    BitBtn1 = new QPushButton(arrowIcon(true), QStringLiteral("Mois"), Panel1);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(10, 8, 84, 26);
    BitBtn2 = new QPushButton(arrowIcon(false), QStringLiteral("Mois"), Panel1);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setGeometry(102, 8, 84, 26);
    BitBtn2->setLayoutDirection(Qt::RightToLeft);   // the arrow after the caption
    Button1 = new QPushButton(QStringLiteral("Fermer"), Panel1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(214, 8, 84, 26);

    Label1 = new QLabel(Panel1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(2, 38, 304, 30);
    Label1->setAlignment(Qt::AlignCenter);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(20);
    f.setBold(true);
    Label1->setFont(f);
    paint(Label1, QPalette::WindowText, Qt::red);

    // Both month buttons read "Mois": their arrow alone tells them apart on screen.
    BitBtn1->setAccessibleName(QString::fromUtf16(u"Mois précédent"));
    BitBtn2->setAccessibleName(QStringLiteral("Mois suivant"));
    Calendar1->setAccessibleName(QStringLiteral("Jours du mois"));

    noDefaultButton({BitBtn1, BitBtn2, Button1});

    connect(Calendar1, &TCalendrierGrid::dateChanged, this, &TCalendrier::Calendar1Change);
    connect(BitBtn1, &QPushButton::clicked, this, &TCalendrier::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TCalendrier::BitBtn2Click);
    connect(Button1, &QPushButton::clicked, this, &TCalendrier::Button1Click);

    FormActivate();
}

void TCalendrier::FormActivate()
{
    Calendar1Change();
}

void TCalendrier::Calendar1Change()
{
    Label1->setText(calendrier::caption(Calendar1->date(), QLocale::system()));
    // The grid is painted: a screen reader learns the chosen day from here.
    Calendar1->setAccessibleDescription(QLocale::system().toString(Calendar1->date(), QLocale::LongFormat));
}

void TCalendrier::BitBtn1Click()
{
    Calendar1->setDate(calendrier::stepMonth(Calendar1->date(), -1));
}

void TCalendrier::BitBtn2Click()
{
    Calendar1->setDate(calendrier::stepMonth(Calendar1->date(), +1));
}

void TCalendrier::keyPressEvent(QKeyEvent *e)
{
    // Reached from the grid and the three buttons, which leave these keys to the window.
    if (e->key() == Qt::Key_PageDown)
        BitBtn2Click();
    else if (e->key() == Qt::Key_PageUp)
        BitBtn1Click();
    else if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)
        pressFocusedButton(this);
    else
        QDialog::keyPressEvent(e);   // Esc closes
}

void TCalendrier::changeEvent(QEvent *e)
{
    QDialog::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
}

void TCalendrier::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    Calendar1->setFocus(Qt::OtherFocusReason);
    FormActivate();
}
