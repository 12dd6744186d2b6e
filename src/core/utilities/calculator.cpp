#include "core/utilities/calculator.h"

#include "core/utilities/utilnumbers.h"

#include <cmath>

QString Calculator::notFloatText(const QString &display)
{
    return QStringLiteral("'%1' n'est pas une valeur flottante correcte").arg(display);
}

QString Calculator::divisionByZeroText()
{
    return QStringLiteral("Division flottante par zéro");
}

QString Calculator::invalidOperationText()
{
    return QStringLiteral("Opération flottante incorrecte");
}

QString Calculator::overflowText()
{
    return QStringLiteral("Débordement flottant");
}

void Calculator::digit(int d)
{
    if (m_newNumber)
        m_display.clear();
    m_display += QChar(u'0' + d);
    m_newNumber = false;
}

void Calculator::comma()
{
    m_display += QLatin1Char(',');
}

Calculator::Read Calculator::readDisplay() const
{
    const std::optional<long double> v = utilnumbers::readComma(m_display);
    if (!v)
        return {SixByte(), notFloatText(m_display)};
    const std::optional<SixByte> stored = SixByte::fromLongDouble(*v);
    if (!stored)
        return {SixByte(), overflowText()};
    return {*stored, std::nullopt};
}

Calculator::Error Calculator::evaluate()
{
    if (!m_accumulatorValid) {
        // Starting a calculation never complains: what does not read is simply dropped.
        const Read r = readDisplay();
        if (r.error) {
            m_display.clear();
            return std::nullopt;
        }
        m_accumulator = r.value;
        m_accumulatorValid = true;
        m_newNumber = true;
        return std::nullopt;
    }

    const Read r = readDisplay();
    if (r.error)
        return r.error;
    m_operand = r.value;

    const long double a = m_accumulator.toLongDouble();
    const long double b = m_operand.toLongDouble();
    long double result = a;
    switch (m_pending) {
    case Operator::None:
        break;
    case Operator::Add:
        result = a + b;
        break;
    case Operator::Subtract:
        result = a - b;
        break;
    case Operator::Multiply:
        result = a * b;
        break;
    case Operator::Divide:
        if (b == 0)
            return a == 0 ? invalidOperationText() : divisionByZeroText();
        result = a / b;
        break;
    }
    const std::optional<SixByte> stored = SixByte::fromLongDouble(result);
    if (!stored)
        return overflowText();
    m_accumulator = *stored;
    m_display = resultText(m_accumulator);
    m_newNumber = true;
    return std::nullopt;
}

Calculator::Error Calculator::applyOperator(Operator op)
{
    const Error e = evaluate();
    if (!e)
        m_pending = op;
    return e;
}

Calculator::Error Calculator::unary(bool reciprocal)
{
    const Read r = readDisplay();
    if (r.error)
        return r.error;
    m_operand = r.value;

    const long double x = m_operand.toLongDouble();
    long double result = 0;
    if (reciprocal) {
        if (x == 0)
            return divisionByZeroText();
        result = 1 / x;
    } else {
        if (x < 0)
            return invalidOperationText();
        result = std::sqrt(x);
    }
    // Stored before the display changes, so that an overflow leaves the display as it was.
    const std::optional<SixByte> stored = SixByte::fromLongDouble(result);
    if (!stored)
        return overflowText();
    m_display = utilnumbers::generalText(result);
    m_accumulator = *stored;
    m_accumulatorValid = true;
    m_newNumber = true;
    return std::nullopt;
}

Calculator::Error Calculator::reciprocal()
{
    return unary(true);
}

Calculator::Error Calculator::squareRoot()
{
    return unary(false);
}

void Calculator::clear()
{
    m_display.clear();
    m_accumulator = SixByte();
    m_operand = SixByte();
    m_accumulatorValid = false;
    m_pending = Operator::None;
}

QString Calculator::resultText(const SixByte &value)
{
    const long double v = value.toLongDouble();
    // The 15-digit text shows the noise of the six-byte rounding (0,300000000000182); fewer
    // digits are enough as long as the text reads back as the very same stored value, which
    // matters because the next operator takes its operand from the display.
    for (int digits = 1; digits < 15; ++digits) {
        const QString text = utilnumbers::generalText(v, digits);
        const std::optional<long double> back = utilnumbers::readComma(text);
        if (back && SixByte::fromLongDouble(*back) == value)
            return text;
    }
    return utilnumbers::generalText(v, 15);
}
