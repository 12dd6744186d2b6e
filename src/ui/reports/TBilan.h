#pragma once
// "Bilan du véhicule": the year of the report and, for one year, the kilometres driven for work.

#include <QDialog>

#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TBilan : public QDialog {
    Q_OBJECT
public:
    explicit TBilan(QWidget *parent = nullptr);

    // The years that have entries, any order: "Toutes les années" first, then the years,
    // the latest chosen.
    void Init(const std::vector<int> &years);

    int year() const;                        // 0: every year
    std::optional<long double> kmPro() const; // only for one year, when given

    void accept() override;

private:
    void yearChanged();

    QLabel *Label1;
    QComboBox *ComboBox1;
    QLabel *Label2;
    QLineEdit *Edit1;
    QLabel *Label3;
    QPushButton *Button1;
    QPushButton *Button2;
};
