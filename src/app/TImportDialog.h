#pragma once
// The summary of an import, shown before anything is created: what the file is, what goes to
// each ledger, what was converted and what was left out. When the file leaves the day/month
// order open, the user picks it here and the file is read again with that order.

#include "import/importer.h"

#include <QDate>
#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTextBrowser;

class TImportDialog : public QDialog {
    Q_OBJECT
public:
    explicit TImportDialog(QWidget *parent = nullptr);

    // Reads the file; false when it cannot be read or its format is not recognised (see error()).
    bool Init(const QString &path, const QDate &today);
    QString error() const { return m_result.error; }
    // The import the summary shows (the record OK hands on).
    const importer::Result &result() const { return m_result; }
    importer::DateOrder dateOrder() const { return m_order; }

    QLabel *FileLabel;
    QLabel *FormatLabel;
    QLabel *VehicleLabel;
    QLabel *FuelCount;
    QLabel *GarageCount;
    QLabel *ParkingCount;
    QLabel *DateOrderLabel;
    QComboBox *DateOrderBox;
    QLabel *DateOrderNote;
    QTextBrowser *Details;
    QPushButton *OKButton;
    QPushButton *CancelButton;

    // French name of a date order, as the choice lists it.
    static QString orderName(importer::DateOrder order);

private:
    void DateOrderBoxChange(int index);
    void runImport(importer::DateOrder order);
    void showSummary();
    QString detailsHtml() const;

    QString m_path;
    QDate m_today;
    importer::DateOrder m_order = importer::DateOrder::Unknown;
    importer::Result m_result;
};
