#include "ui/document/TDueNotes.h"

#include "platform/systemclock.h"

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
    // No label beside them: a screen reader gets what each line is about.
    m_service->setAccessibleName(QStringLiteral("Prochain entretien"));
    m_inspection->setAccessibleName(QString::fromUtf16(u"Contrôle technique"));

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

template <class Entry>
void TDueNotes::track(QAbstractItemModel *ledger, const std::vector<Entry> &rows, Facts &facts)
{
    connect(ledger, &QAbstractItemModel::rowsInserted, this, [this, &rows, &facts](const QModelIndex &, int first, int last) {
        if (!facts.stale && facts.entries.size() + std::size_t(last - first + 1) == rows.size()) {
            std::vector<due::EntryFacts> added;
            for (int row = first; row <= last; ++row)
                added.push_back(due::factsOf(rows[std::size_t(row)]));
            facts.entries.insert(facts.entries.begin() + first, added.begin(), added.end());
        } else {
            facts.stale = true;
        }
        refresh();
    });
    connect(ledger, &QAbstractItemModel::rowsRemoved, this, [this, &rows, &facts](const QModelIndex &, int first, int last) {
        if (!facts.stale && facts.entries.size() == rows.size() + std::size_t(last - first + 1))
            facts.entries.erase(facts.entries.begin() + first, facts.entries.begin() + last + 1);
        else
            facts.stale = true;
        refresh();
    });
    connect(ledger, &QAbstractItemModel::dataChanged, this, [this, &rows, &facts](const QModelIndex &from, const QModelIndex &to) {
        if (!facts.stale && facts.entries.size() == rows.size())
            for (int row = from.row(); row <= to.row(); ++row)
                facts.entries[std::size_t(row)] = due::factsOf(rows[std::size_t(row)]);
        else
            facts.stale = true;
        refresh();
    });
    // A load: read again at the refresh that follows it.
    connect(ledger, &QAbstractItemModel::modelReset, this, [&facts] { facts.stale = true; });
}

template <class Entry>
void TDueNotes::bringUp(const std::vector<Entry> &rows, Facts &facts)
{
    if (!facts.stale && facts.entries.size() == rows.size())
        return;
    facts.entries.clear();
    facts.entries.reserve(rows.size());
    for (const Entry &e : rows)
        facts.entries.push_back(due::factsOf(e));
    facts.stale = false;
}

void TDueNotes::watchFuel(QAbstractItemModel *ledger)
{
    track(ledger, m_record.ListView1, m_fuel);
}

void TDueNotes::watchGarage(QAbstractItemModel *ledger)
{
    track(ledger, m_record.ListView2, m_garage);
}

void TDueNotes::refresh()
{
    bringUp(m_record.ListView1, m_fuel);
    bringUp(m_record.ListView2, m_garage);
    const due::Report report = due::compute(m_record, m_fuel.entries, m_garage.entries, platform::SystemClock::today());
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
