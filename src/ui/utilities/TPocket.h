#pragma once
// The desk calculator window "Calculatrice": a display and a keypad over the calculator state.

#include "core/utilities/calculator.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QPushButton;

class TPocket : public QDialog {
    Q_OBJECT
public:
    explicit TPocket(QWidget *parent = nullptr);

    // Each opening: empty display, calculation cleared, focus on "=".
    void FormActivate();

    void Button0Click() { digit(0); }
    void Button1Click() { digit(1); }
    void Button2Click() { digit(2); }
    void Button3Click() { digit(3); }
    void Button4Click() { digit(4); }
    void Button5Click() { digit(5); }
    void Button6Click() { digit(6); }
    void Button7Click() { digit(7); }
    void Button8Click() { digit(8); }
    void Button9Click() { digit(9); }
    void Button10Click();
    void Button11Click();
    void Button12Click() { applyOperator(Calculator::Operator::Add); }
    void Button13Click() { applyOperator(Calculator::Operator::Subtract); }
    void Button14Click() { applyOperator(Calculator::Operator::Multiply); }
    void Button15Click() { applyOperator(Calculator::Operator::Divide); }
    void Button16Click();
    void Button17Click();
    void Button18Click();
    void Button19Click();

    // The keyboard mapping: a character of a button acts as a visible click on it.
    bool FormKeyPress(QChar key);

    const Calculator &calculator() const { return m_calc; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void digit(int d);
    void applyOperator(Calculator::Operator op);
    void report(const Calculator::Error &error);
    void refresh();

    Calculator m_calc;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    std::array<QPushButton *, 20> m_buttons{};
    std::array<std::function<void()>, 20> m_actions;
};
