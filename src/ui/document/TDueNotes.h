#pragma once
// What is due, in a document window: grey lines under "Kilométrage entre deux entretiens" on
// the page "Garage", and a bar above the pages when a document comes in (opened or imported)
// with something past due or soon. Both follow the record whenever one of its inputs changes.

#include "core/reports/due.h"
#include "core/vehicle/record.h"

#include <QObject>
#include <QStringList>

class QAbstractItemModel;
class QLabel;
class QLineEdit;
class QWidget;

class TDueNotes : public QObject {
    Q_OBJECT
public:
    // `record` is the window's own, read again at every refresh.
    TDueNotes(const VehicleRecord &record, QWidget *window);

    QWidget *lines() const { return m_lines; } // for the group "Périodicité"
    QWidget *bar() const { return m_bar; }      // for the top of the window

    // Every change of these ledgers (the models over the record's fuel and garage ledgers)
    // refreshes; what the rules take from each entry is kept, so that a change reads only the
    // entries it touched.
    void watchFuel(QAbstractItemModel *ledger);
    void watchGarage(QAbstractItemModel *ledger);
    // Works the reminders out again (as of the clock's today): the lines, and the bar while it
    // is shown (it goes once nothing needs attention).
    void refresh();
    // The document came in: the bar shows when something is past due or soon.
    void announce();

private:
    const VehicleRecord &m_record;
    QWidget *m_lines = nullptr;
    QLineEdit *m_service = nullptr;
    QLineEdit *m_inspection = nullptr;
    QWidget *m_bar = nullptr;
    QLabel *m_barText = nullptr;
    QStringList m_attention;

    // The facts of each entry, in ledger order; a stale list is read again whole.
    struct Facts {
        std::vector<due::EntryFacts> entries;
        bool stale = true;
    };
    Facts m_fuel;
    Facts m_garage;
    template <class Entry>
    void track(QAbstractItemModel *ledger, const std::vector<Entry> &rows, Facts &facts);
    template <class Entry>
    static void bringUp(const std::vector<Entry> &rows, Facts &facts);
};
