#pragma once
// The summary of an import, shown before anything is created: what the file is, its first rows
// under the part each column fills (a spreadsheet's parts can be changed here), what goes to
// each ledger, what was converted and what was left out, and any doubt about the figures. When
// the file holds several vehicles, or leaves the day/month order open, the user picks here and
// the file is read again.

#include "core/import/importer.h"

#include <QDate>
#include <QDialog>

class QComboBox;
class QLabel;
class QTableWidget;
class QPushButton;
class QTextBrowser;

class TImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit TImportDialog(QWidget *parent = nullptr);

    // Reads the file; false when it cannot be read, its format is not recognised or it gives no
    // entry (see error()).
    bool Init(const QString &path, const QDate &today);
    QString error() const;
    // The import the summary shows (the record OK hands on).
    const importer::Result &result() const { return m_result; }
    importer::DateOrder dateOrder() const { return m_order; }
    QString vehicle() const { return m_vehicle; } // the vehicle chosen; empty when the file has one
    // The parts the user gave columns, over the reader's guess.
    const std::vector<importer::ColumnChoice> &columnChoices() const { return m_columns; }

    QLabel *FileLabel;
    QLabel *FormatLabel;
    QLabel *VehicleLabel;
    QLabel *VehicleChoiceLabel;
    QComboBox *VehicleBox;
    QLabel *VehicleNote;
    QLabel *FuelCount;
    QLabel *GarageCount;
    QLabel *ParkingCount;
    QLabel *DateOrderLabel;
    QComboBox *DateOrderBox;
    QLabel *DateOrderNote;
    QLabel *DoubtLabel;
    QLabel *PreviewLabel;
    // Row 0 holds one box per column (objectName "PartBox<column>"), the file's rows below.
    QTableWidget *Preview;
    QTextBrowser *Details;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    // French name of a date order, as the choice lists it.
    static QString orderName(importer::DateOrder order);

private:
    void DateOrderBoxChange(int index);
    void VehicleBoxChange(int index);
    void PartBoxChange(int column, int index);
    // OK, asking once more when the figures leave a doubt.
    void OKButtonClick();
    void showPreview();
    // Reads the file with the choices made; a choice the file asks for and that is not made yet
    // is offered, set to its first answer, and the file read again.
    void settle();
    void runImport();
    void showSummary();
    QString detailsHtml() const;

    QString m_path;
    QDate m_today;
    importer::DateOrder m_order = importer::DateOrder::Unknown;
    QString m_vehicle;
    std::vector<importer::ColumnChoice> m_columns;
    importer::Result m_result;
};
