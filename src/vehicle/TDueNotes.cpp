#include "vehicle/TDueNotes.h"

#include "platform/systemclock.h"
#include "reports/due.h"

#include <QAbstractItemModel>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
// Grey and read-only like the computed totals: it can be selected and copied, not typed over.
QLineEdit *greyLine(const QString &name, QWidget *parent)
{
    auto *line = new QLineEdit(parent);
    line->setObjectName(name);
    line->setReadOnly(true);
    line->setFocusPolicy(Qt::ClickFocus);
    QPalette grey = line->palette();
    grey.setColor(QPalette::Base, grey.color(QPalette::Window));
    line->setPalette(grey);
    line->hide();
    return line;
}

void showLine(QLineEdit *line, const QString &text)
{
    line->setText(text);
    line->setCursorPosition(0);
    line->setVisible(!text.isEmpty());
}
} // namespace

TDueNotes::TDueNotes(const VehicleRecord &record, QWidget *window) : QObject(window), m_record(record)
{
    m_lines = new QWidget(window);
    m_lines->setObjectName(QStringLiteral("Echeances"));
    auto *column = new QVBoxLayout(m_lines);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(3);
    m_service = greyLine(QStringLiteral("EditEntretien"), m_lines);
    m_inspection = greyLine(QStringLiteral("EditControle"), m_lines);
    column->addWidget(m_service);
    column->addWidget(m_inspection);

    // The same kind of bar as the one of a load that stopped part-way, with a close button.
    auto *frame = new QFrame(window);
    m_bar = frame;
    m_bar->setObjectName(QStringLiteral("BarreEcheances"));
    frame->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    m_bar->setForegroundRole(QPalette::ToolTipText);
    m_bar->setBackgroundRole(QPalette::ToolTipBase);
    m_bar->setAutoFillBackground(true);
    m_barText = new QLabel(m_bar);
    m_barText->setObjectName(QStringLiteral("LabelEcheances"));
    m_barText->setForegroundRole(QPalette::ToolTipText);
    m_barText->setTextFormat(Qt::PlainText);
    m_barText->setWordWrap(true);
    m_barText->setMargin(2);
    auto *close = new QToolButton(m_bar);
    close->setObjectName(QStringLiteral("BoutonFermerEcheances"));
    close->setAutoRaise(true);
    close->setIcon(close->style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, close));
    close->setToolTip(QStringLiteral("Fermer"));
    close->setAccessibleName(QStringLiteral("Fermer"));
    close->setFocusPolicy(Qt::TabFocus);
    auto *row = new QHBoxLayout(m_bar);
    row->setContentsMargins(0, 0, 2, 0);
    row->addWidget(m_barText, 1);
    row->addWidget(close, 0, Qt::AlignTop);
    m_bar->hide();
    connect(close, &QToolButton::clicked, m_bar, &QWidget::hide);
}

void TDueNotes::watch(QAbstractItemModel *ledger)
{
    connect(ledger, &QAbstractItemModel::rowsInserted, this, &TDueNotes::refresh);
    connect(ledger, &QAbstractItemModel::rowsRemoved, this, &TDueNotes::refresh);
    connect(ledger, &QAbstractItemModel::dataChanged, this, &TDueNotes::refresh);
}

void TDueNotes::refresh()
{
    const due::Report report = due::compute(m_record, platform::SystemClock::today());
    QString service, inspection;
    for (const due::Reminder &r : report.reminders)
        (r.kind == due::Kind::Service ? service : inspection) = due::sentence(r);
    showLine(m_service, service);
    showLine(m_inspection, inspection);
    m_attention = due::attention(report);
    m_barText->setText(m_attention.join(QLatin1Char('\n')));
    if (m_attention.isEmpty())
        m_bar->hide();
}

void TDueNotes::announce()
{
    refresh();
    m_bar->setVisible(!m_attention.isEmpty());
}
