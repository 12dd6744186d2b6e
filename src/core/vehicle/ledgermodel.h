#pragma once
// Table models over the ledgers of a record. The views read the record's vectors directly, so
// a ledger of any length costs nothing to show, and the record stays the one copy of the data.

#include "core/vehicle/record.h"

#include <QAbstractTableModel>

#include <array>
#include <utility>
#include <vector>

struct LedgerColumn {
    QString heading;
    int width = 100;        // in pixels
    bool rightAligned = false;
};

// What the three ledger models share, so that a view needs to know no entry shape.
class LedgerModelBase : public QAbstractTableModel {
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    virtual LedgerColumn column(int c) const = 0;

    // Around a change of the whole vector (loading a file).
    void beginReload() { beginResetModel(); }
    void endReload() { endResetModel(); }

Q_SIGNALS:
    // The user changed an entry's date in place (only models made with an editable date);
    // `before` is the date it replaced.
    void dateEdited(int row, const QString &before);
};

template <std::size_t N>
class LedgerModel final : public LedgerModelBase {
public:
    using Entry = LedgerEntry<N>;

    LedgerModel(std::vector<Entry> &rows, const std::array<LedgerColumn, N> &columns,
                bool dateEditable, QObject *parent = nullptr)
        : LedgerModelBase(parent), m_rows(rows), m_columns(columns), m_dateEditable(dateEditable)
    {
    }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(N);
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        switch (role) {
        case Qt::DisplayRole:
        case Qt::EditRole:
            return m_rows[std::size_t(index.row())][std::size_t(index.column())];
        case Qt::TextAlignmentRole:
            return alignment(index.column());
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || section < 0 || section >= int(N))
            return {};
        if (role == Qt::DisplayRole)
            return m_columns[std::size_t(section)].heading;
        if (role == Qt::TextAlignmentRole)
            return alignment(section);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        Qt::ItemFlags f = QAbstractTableModel::flags(index);
        if (m_dateEditable && index.isValid() && index.column() == col::Date)
            f |= Qt::ItemIsEditable;
        return f;
    }

    // The in-place editor gives a date in its written form; the model takes the text it is given.
    bool setData(const QModelIndex &index, const QVariant &value, int role) override
    {
        if (!m_dateEditable || role != Qt::EditRole || !index.isValid()
            || index.column() != col::Date || index.row() >= rowCount())
            return false;
        Entry &entry = m_rows[std::size_t(index.row())];
        const QString text = value.toString();
        if (entry[col::Date] == text)
            return true;
        const QString before = entry[col::Date];
        entry.set(col::Date, text);
        Q_EMIT dataChanged(index, index);
        Q_EMIT dateEdited(index.row(), before);
        return true;
    }

    LedgerColumn column(int c) const override { return m_columns[std::size_t(c)]; }

    const Entry &entry(int row) const { return m_rows[std::size_t(row)]; }

    void append(const Entry &e)
    {
        const int row = rowCount();
        beginInsertRows({}, row, row);
        m_rows.push_back(e);
        endInsertRows();
    }

    void replace(int row, const Entry &e)
    {
        m_rows[std::size_t(row)] = e;
        Q_EMIT dataChanged(index(row, 0), index(row, int(N) - 1));
    }

    // Puts an entry back at `row` (an undone deletion); the entries from there move down.
    void insert(int row, const Entry &e)
    {
        beginInsertRows({}, row, row);
        m_rows.insert(m_rows.begin() + row, e);
        endInsertRows();
    }

    void remove(int row)
    {
        beginRemoveRows({}, row, row);
        m_rows.erase(m_rows.begin() + row);
        endRemoveRows();
    }

private:
    QVariant alignment(int c) const
    {
        const Qt::Alignment h = m_columns[std::size_t(c)].rightAligned ? Qt::AlignRight : Qt::AlignLeft;
        // An int, which every Qt version's delegates and headers read.
        return int(h | Qt::AlignVCenter);
    }

    std::vector<Entry> &m_rows;
    std::array<LedgerColumn, N> m_columns;
    bool m_dateEditable;
};

using FuelModel = LedgerModel<5>;
using GarageModel = LedgerModel<4>;
using ParkingModel = LedgerModel<3>;

// The columns of the three ledgers: headings, widths and alignments.
std::array<LedgerColumn, 5> fuelColumns();
std::array<LedgerColumn, 4> garageColumns();
std::array<LedgerColumn, 3> parkingColumns();
