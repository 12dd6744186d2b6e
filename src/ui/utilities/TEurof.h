#pragma once
// The franc/euro converter window "Euro convertisseur": a keypad, two displays, the direction and
// the rate with its spin control, over the converter state.

#include "core/utilities/euro.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;

// A spin control: an up half over a down half, each repeating while held (first after 400 ms,
// then every 100 ms), and the Up and Down keys while it has the focus.
class TSpinButton : public QWidget {
    Q_OBJECT
public:
    explicit TSpinButton(QWidget *parent = nullptr);

signals:
    void UpClick();
    void DownClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
};

class TEurof : public QDialog {
    Q_OBJECT
public:
    explicit TEurof(QWidget *parent = nullptr);

    // Each opening: the rate shown again, the result-shown flag cleared, focus on "=".
    void FormActivate();
    void FormKeyPress(QChar key);
    void Init() { m_euro.Init(); refresh(); }

    void ButtonClick(int digit); // the digit buttons
    void Button0Click() { ButtonClick(0); }
    void Button1Click() { ButtonClick(1); }
    void Button2Click() { ButtonClick(2); }
    void Button3Click() { ButtonClick(3); }
    void Button4Click() { ButtonClick(4); }
    void Button5Click() { ButtonClick(5); }
    void Button6Click() { ButtonClick(6); }
    void Button7Click() { ButtonClick(7); }
    void Button8Click() { ButtonClick(8); }
    void Button9Click() { ButtonClick(9); }
    void Button10Click();        // "Fermer"
    void Button11Click();        // "="
    void Button12Click();        // ","
    void SpinButton1UpClick();
    void SpinButton1DownClick();

    const EuroConverter &converter() const { return m_euro; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void refresh();

    EuroConverter m_euro;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    std::array<QPushButton *, 13> m_buttons{};
    QRadioButton *RadioButton1 = nullptr;
    QRadioButton *RadioButton2 = nullptr;
    QGroupBox *RadioGroup1 = nullptr;
    QLineEdit *Edit3 = nullptr;
    TSpinButton *SpinButton1 = nullptr;
};
