// What a person would see at a glance in a spreadsheet's entries once its columns are taken:
// amounts that climb like an odometer, quantities no tank holds, prices per litre far from the
// others, fill-ups without amounts, odometers that go back. Each finding is a doubt for the
// user to settle, never a silent wrong history.
#include "core/import/builder.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace importer {

namespace {

constexpr float kLargestTank = 150;   // litres: no car's tank holds more
constexpr float kPriceFactor = 10;    // a price per litre this far from the median is a misreading
constexpr size_t kRisingAtLeast = 6;  // amounts needed before a steady climb means something
constexpr int kLinesNamed = 6;

QString linesText(const std::vector<qint64> &lines)
{
    QStringList shown;
    for (size_t i = 0; i < lines.size() && i < size_t(kLinesNamed); ++i)
        shown << QString::number(lines[i]);
    QString text = (lines.size() > 1 ? u"lignes "_s : u"ligne "_s) + shown.join(u", "_s);
    if (lines.size() > size_t(kLinesNamed))
        text += u" et "_s + QString::number(lines.size() - size_t(kLinesNamed)) + u" autres"_s;
    return text;
}

QString column(const QString &name) { return u"« "_s + name + u" »"_s; }

} // namespace

void Builder::checkEntries(std::vector<Seen> &fuel, std::vector<Seen> &garage)
{
    const auto byKey = [](const Seen &a, const Seen &b) { return a.key < b.key; };
    std::stable_sort(fuel.begin(), fuel.end(), byKey);
    std::stable_sort(garage.begin(), garage.end(), byKey);
    const Checked &c = m_checked;
    const auto doubt = [this](QStringList columns, const QString &text) {
        columns.removeAll(QString());
        m_report.doubts.push_back({columns, text});
    };

    // Amounts that rise from one entry to the next, as only a reading would.
    if (!c.total.isEmpty() && !c.totalSettled) {
        for (const std::vector<Seen> *ledger : {&fuel, &garage}) {
            std::vector<float> totals;
            std::vector<qint64> lines;
            for (const Seen &s : *ledger)
                if (s.values.total >= 0) {
                    totals.push_back(s.values.total);
                    lines.push_back(s.line);
                }
            if (totals.size() < kRisingAtLeast)
                continue;
            size_t rises = 0;
            for (size_t i = 1; i < totals.size(); ++i)
                rises += totals[i] > totals[i - 1] ? 1 : 0;
            if (rises * 10 < (totals.size() - 1) * 9)
                continue;
            std::sort(lines.begin(), lines.end());
            doubt({c.total}, u"colonne "_s + column(c.total)
                                 + u" lue comme montant : ses valeurs croissent d'une écriture à "
                                   u"l'autre comme un compteur ("_s
                                 + twoDecimals(totals.front()) + u" puis "_s + twoDecimals(totals.back())
                                 + u", "_s + linesText(lines) + u')');
            break;
        }
    }

    if (!c.quantity.isEmpty() && !c.quantitySettled) {
        std::vector<qint64> large;
        for (const Seen &s : fuel)
            if (s.values.litres > kLargestTank)
                large.push_back(s.line);
        std::sort(large.begin(), large.end());
        if (!large.empty())
            doubt({c.quantity}, u"colonne "_s + column(c.quantity)
                                    + u" lue comme quantité : plus de 150 litres par plein, plus "
                                      u"qu'aucun réservoir ne tient ("_s
                                    + linesText(large) + u')');
    }

    if (!c.totalSettled || !c.quantitySettled) {
        std::vector<float> prices;
        for (const Seen &s : fuel)
            if (s.values.total > 0 && s.values.litres > 0)
                prices.push_back(s.values.total / s.values.litres);
        if (prices.size() >= 3) {
            std::vector<float> sorted = prices;
            std::nth_element(sorted.begin(), sorted.begin() + qsizetype(sorted.size() / 2), sorted.end());
            const float median = sorted[sorted.size() / 2];
            std::vector<qint64> far;
            for (const Seen &s : fuel)
                if (s.values.total > 0 && s.values.litres > 0) {
                    const float p = s.values.total / s.values.litres;
                    if (p > median * kPriceFactor || p * kPriceFactor < median)
                        far.push_back(s.line);
                }
            std::sort(far.begin(), far.end());
            if (!far.empty())
                doubt({c.total, c.quantity, c.unitPrice},
                      u"prix du litre (montant de "_s + column(c.total) + u" ÷ quantité de "_s
                          + column(c.quantity) + u") dix fois plus ou moins que la médiane du fichier, "_s
                          + twoDecimals(median) + u" ("_s + linesText(far) + u')');
        }
    }

    if (!c.quantitySettled && !c.totalSettled && fuel.size() >= 3) {
        std::vector<qint64> without;
        for (const Seen &s : fuel)
            if (s.values.total < 0)
                without.push_back(s.line);
        std::sort(without.begin(), without.end());
        if (without.size() * 2 > fuel.size())
            doubt({c.quantity, c.total},
                  u"la plupart des pleins (quantité lue dans "_s + column(c.quantity) + u") n'ont pas de montant"_s
                      + (c.total.isEmpty() ? u" : aucune colonne n'est lue comme montant"_s
                                           : u" dans "_s + column(c.total))
                      + u" ; est-ce bien un carburant ? ("_s + linesText(without) + u')');
    }

    // Odometers that go back: a reading below one of an earlier day (entries of one day may
    // come in any order).
    if (!c.odometer.isEmpty() && !c.odometerSettled) {
        std::vector<Seen> readings;
        for (const std::vector<Seen> *ledger : {&fuel, &garage})
            for (const Seen &s : *ledger)
                if (s.values.km >= 0)
                    readings.push_back(s);
        std::stable_sort(readings.begin(), readings.end(), byKey);
        std::vector<qint64> back;
        float before = -1, today = -1; // the highest of the days before, of the day
        qint64 day = -1;
        for (const Seen &s : readings) {
            if (s.key / 1440 != day) {
                before = std::max(before, today);
                today = -1;
                day = s.key / 1440;
            }
            if (s.values.km < before)
                back.push_back(s.line);
            today = std::max(today, s.values.km);
        }
        std::sort(back.begin(), back.end());
        if (!back.empty())
            doubt({c.odometer}, u"colonne "_s + column(c.odometer)
                                    + u" lue comme compteur : il recule d'une date à la suivante ("_s
                                    + linesText(back) + u')');
    }
}

} // namespace importer
