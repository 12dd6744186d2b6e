#pragma once
// A ledger shown as a report-style list: grid lines, whole-row selection, one entry at a time,
// no sorting. A double-click anywhere in the list, also below the last entry, is reported; a
// click below the entries keeps the selected one selected (Ctrl+click deselects it).

#include <QTableView>

class LedgerModelBase;

class TLedgerView : public QTableView {
    Q_OBJECT
public:
    TLedgerView(LedgerModelBase *model, QWidget *parent = nullptr);

    // The entry when exactly one is selected, otherwise -1.
    int selectedEntry() const;
    void selectEntry(int row);

    // The date column can be edited in place by a slow second click on the selected entry.
    void allowDateEditing();

Q_SIGNALS:
    void DblClick();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
