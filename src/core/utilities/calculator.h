#pragma once
// The desk calculator's state machine: strictly left to right, one pending operator, the display
// text as the only entry. Operations that fail return the message for the standard error box and
// leave the state as it was before the key (the operand excepted when the computation failed).

#include "core/utilities/sixbyte.h"

#include <QString>

#include <optional>

class Calculator {
public:
    enum class Operator { None, Add, Subtract, Multiply, Divide };
    using Error = std::optional<QString>;

    const QString &display() const { return m_display; }
    SixByte accumulator() const { return m_accumulator; }
    SixByte operand() const { return m_operand; }
    Operator pending() const { return m_pending; }
    bool accumulatorValid() const { return m_accumulatorValid; }
    bool newNumber() const { return m_newNumber; }

    void digit(int d);
    void comma();
    [[nodiscard]] Error evaluate();
    [[nodiscard]] Error applyOperator(Operator op);
    [[nodiscard]] Error reciprocal();
    [[nodiscard]] Error squareRoot();
    // "C" and each activation of the window; the new-number flag is kept.
    void clear();

    // The shortest general text (at most 15 significant digits) that reads back as this value.
    static QString resultText(const SixByte &value);

    static QString notFloatText(const QString &display);
    static QString divisionByZeroText();
    static QString invalidOperationText();
    static QString overflowText();

private:
    // Reads the display into the six-byte format, or the message of the failure.
    struct Read {
        SixByte value;
        Error error;
    };
    Read readDisplay() const;
    Error unary(bool reciprocal);

    QString m_display;
    SixByte m_accumulator;
    SixByte m_operand;
    Operator m_pending = Operator::None;
    bool m_accumulatorValid = false;
    bool m_newNumber = false;
};
