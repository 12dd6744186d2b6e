#pragma once
// The franc/euro converter's state: the rate in hundred-thousandths of a franc per euro, the
// direction, the entry and result displays and the result-shown flag.

#include <QString>

#include <optional>

class EuroConverter {
public:
    enum class Direction { FrancsToEuros, EurosToFrancs };
    static constexpr qint64 StartRate = 655957;

    qint64 rate() const { return m_rate; }
    void setRate(qint64 rate);
    void stepUp();
    void stepDown();
    QString rateText() const;

    Direction direction() const { return m_direction; }
    void setDirection(Direction d) { m_direction = d; }

    const QString &entry() const { return m_entry; }
    const QString &result() const { return m_result; }
    bool resultShown() const { return m_resultShown; }

    // A key typed on the window; '\r' converts.
    void keyPress(QChar key);
    // A keypad button other than "=": Init, then its character.
    void button(QChar key);
    // If a result is shown, empties both displays; clears the flag.
    void Init();
    // Each opening of the window.
    void activate() { m_resultShown = false; }

    // The result of converting an entry: cents of a euro or tenths of a franc. Nothing when the
    // entry does not read (empty, two commas) or the count leaves the signed 32-bit range.
    static std::optional<qint32> convertCount(const QString &entry, qint64 rate, Direction d);
    // The same count written as the result display shows it.
    static std::optional<QString> convert(const QString &entry, qint64 rate, Direction d);

private:
    qint64 m_rate = StartRate;
    Direction m_direction = Direction::FrancsToEuros;
    QString m_entry;
    QString m_result;
    bool m_resultShown = false;
};
