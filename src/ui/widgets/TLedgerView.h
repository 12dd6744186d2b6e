#pragma once
// A ledger shown as a report-style list: grid lines, whole-row selection, one entry at a time,
// no sorting. A double-click anywhere in the list, also below the last entry, is reported, and
// so is Enter. A full list shows no blank space, so the keyboard gives the ways out of a
// selection: Insert asks for a new entry whatever is selected, Esc clears the selection; Delete
// asks for the selected entry to be deleted. A
// single click below the entries clears it too, once the double-click interval has passed: a
// double-click there still reaches the entry that was selected. Column widths the user changes
// are kept in the settings file under the list's object name, for the next list of that name.

#include <QBasicTimer>
#include <QPersistentModelIndex>
#include <QTableView>

class LedgerModelBase;

class TLedgerView : public QTableView {
    Q_OBJECT
public:
    TLedgerView(LedgerModelBase *model, QWidget *parent = nullptr);

    // The entry when exactly one is selected, otherwise -1.
    int selectedEntry() const;
    void selectEntry(int row);

    // The date column can be edited in place by a slow second click on the selected entry (or F2).
    void allowDateEditing();

    // Writes what an open in-place editor holds into the ledger and closes it; forgets a
    // pending slow-click edit.
    void commitOpenEditor();

Q_SIGNALS:
    void DblClick();
    void NewEntry(); // the Insert key
    void DeleteEntry(); // the Delete key

public:
    // What the list's hint says, for the status bar.
    static QString hint();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QList<int> columnWidths() const;
    void keepColumnWidths();

    QList<int> m_keptWidths; // as last read from or written to the settings file
    bool m_widthsRead = false;
    bool m_dateEditing = false;
    // The slow second click: a click on the date of the entry already selected starts the editor
    // once the double-click interval has passed without a second click.
    QBasicTimer m_slowClick;
    QPersistentModelIndex m_pressed;
    bool m_pressedSelected = false;
    bool m_afterDoubleClick = false; // the release that ends a double-click is no slow click
    // A click on the blank space clears the selection unless it turns into a double-click.
    QBasicTimer m_blankClick;
};
