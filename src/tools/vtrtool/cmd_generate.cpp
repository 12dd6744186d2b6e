// generate --entries N [--seed S] OUT: a realistic vehicle file of any size, for benchmarks and
// for trying the application on a large document.
#include "common.h"

#include "core/vehicle/textrules.h"
#include "core/vehicle/vtrfile.h"

#include <random>

namespace vtrtool {
namespace {

class Generator {
public:
    explicit Generator(quint64 seed) : m_rng(seed) {}

    VehicleRecord record(qint64 entries, const QDate &today)
    {
        VehicleRecord r = VehicleRecord::create(today);
        r.edit[1] = pick({u"Peugeot", u"Renault", u"Citroën", u"Dacia"});
        r.edit[2] = pick({u"308 SW 1.5 BlueHDi", u"Mégane Estate", u"C4 Picasso", u"Duster"});
        r.edit[3] = pick({u"Hélène Mercier", u"François Lebœuf", u"Jérôme Dupré", u"Anaïs Rivière"});
        const QDate start(2021, 1, 4);
        r.DateTimePicker1 = start.addDays(-30);
        r.DateTimePicker2 = start.addDays(-400);
        r.edit[4] = aligned(cents(9500000, 15000000), 116);

        // Dates stay within six years whatever the size: large files get several entries a day.
        const qint64 span = 6 * 365;
        auto dateOf = [&](qint64 i) {
            return textrules::formatDate(start.addDays(entries > 0 ? i * span / entries : 0));
        };

        qint64 km = 12000;
        r.ListView1.reserve(size_t(entries));
        for (qint64 i = 0; i < entries; ++i) {
            const qint64 litres = between(2500, 5600);        // hundredths of a litre
            const qint64 perLitre = between(1050, 1380);      // centimes
            km += between(450, 900);
            r.ListView1.push_back({dateOf(i),
                                   pick({u"Plein gazole", u"Plein Total Énergies", u"Plein autoroute A7",
                                         u"Plein Intermarché", u"Demi-plein — station de Mâcon"}),
                                   money(litres * perLitre / 100), money(litres), money(km * 100)});
        }
        r.edit[24] = aligned(QStringLiteral("15000"), 110);
        qint64 garageKm = 12000;
        r.ListView2.reserve(size_t(entries));
        for (qint64 i = 0; i < entries; ++i) {
            garageKm += between(800, 9000);
            r.ListView2.push_back({dateOf(i),
                                   pick({u"Vidange et filtre à huile", u"Révision des 60 000 km",
                                         u"Plaquettes de frein avant", u"Contrôle technique",
                                         u"Pneus été × 2", u"Remplacement essuie-glaces"}),
                                   money(between(18000, 420000)), money(garageKm * 100)});
        }
        r.ListView3.reserve(size_t(entries));
        for (qint64 i = 0; i < entries; ++i)
            r.ListView3.push_back({dateOf(i),
                                   pick({u"Parking Bellecour", u"Stationnement rue de la République",
                                         u"Parking gare Part-Dieu", u"Horodateur quai Saint-Antoine",
                                         u"Amende de stationnement"}),
                                   money(between(500, 15000))});

        r.edit[5] = aligned(cents(200000, 400000), 110);
        r.edit[6] = aligned(cents(350000, 650000), 110);
        r.edit[7] = aligned(cents(0, 90000), 110);
        r.edit[8] = aligned(cents(800000, 1500000), 110);
        r.edit[9] = aligned(cents(200000, 500000), 110);
        r.edit[10] = aligned(cents(0, 1200000), 110);
        r.edit[13] = aligned(cents(1050, 1380), 110);
        r.edit[14] = aligned(cents(450, 750), 110);
        r.edit[15] = aligned(cents(80000, 200000), 110);
        r.edit[16] = aligned(cents(35000, 90000), 110);
        r.edit[17] = aligned(QStringLiteral("40000.00"), 110);
        r.DateTimePicker3 = today;
        r.edit[19] = aligned(cents(5000000, 9000000), 110);
        r.edit[20] = aligned(cents(0, 800000), 110);
        r.edit[21] = aligned(money(km * 100), 110);
        r.edit[22] = aligned(QStringLiteral("6"), 110);
        r.ComboBox1 = QStringLiteral("Diesel");
        r.Memo1 = QStringList{QStringLiteral("Véhicule acheté d'occasion à Lyon, carnet d'entretien à jour."),
                              QStringLiteral("Courroie de distribution à prévoir vers 150 000 km."),
                              QString(),
                              QStringLiteral("Pneus d'hiver rangés au garage de François.")};
        return r;
    }

private:
    qint64 between(qint64 lo, qint64 hi) { return lo + qint64(m_rng() % quint64(hi - lo + 1)); }

    QString pick(std::initializer_list<const char16_t *> texts)
    {
        return QString::fromUtf16(texts.begin()[between(0, qint64(texts.size()) - 1)]);
    }

    static QString money(qint64 hundredths)
    {
        return QStringLiteral("%1.%2").arg(hundredths / 100).arg(hundredths % 100, 2, 10, QLatin1Char('0'));
    }

    QString cents(qint64 lo, qint64 hi) { return money(between(lo, hi)); }

    // The right-aligned form of the document window, with a width estimate of its 13-pixel font
    // (digits 7 pixels, point and space 3): the window aligns a field again when it is edited.
    static QString aligned(const QString &text, int width)
    {
        QString s = textrules::Dec(text);
        auto measure = [](const QString &t) {
            int w = 0;
            for (QChar c : t)
                w += c.isDigit() ? 7 : 3;
            return w;
        };
        return textrules::Rset(s, width, measure);
    }

    std::mt19937_64 m_rng;
};

int generate(const Context &ctx)
{
    const QString name = QStringLiteral("generate");
    qint64 entries = -1;
    quint64 seed = 1;
    QString target;
    for (qsizetype i = 0; i < ctx.args.size(); ++i) {
        const QString &a = ctx.args[i];
        if (a == QLatin1String("--entries") || a == QLatin1String("--seed")) {
            if (++i == ctx.args.size())
                return usageError(name, QStringLiteral("%1 needs a number").arg(a));
            bool ok = false;
            if (a == QLatin1String("--entries")) {
                entries = ctx.args[i].toLongLong(&ok);
                ok = ok && entries >= 0 && entries <= 10'000'000;
            } else {
                seed = ctx.args[i].toULongLong(&ok);
            }
            if (!ok)
                return usageError(name, QStringLiteral("bad number '%1' for %2").arg(ctx.args[i], a));
        } else if (a.startsWith(QLatin1Char('-')) || !target.isEmpty()) {
            return usageError(name, QStringLiteral("unexpected argument '%1'").arg(a));
        } else {
            target = a;
        }
    }
    if (entries < 0 || target.isEmpty())
        return usageError(name, QStringLiteral("expects --entries N and OUT"));

    const VehicleRecord r = Generator(seed).record(entries, ctx.today);
    const QString path = vtrfile::withVtrExtension(target);
    const vtrfile::SaveResult s = vtrfile::save(r, path);
    if (!s.ok) {
        err() << s.error << '\n';
        return 1;
    }
    out() << path << '\n';
    return 0;
}

const bool registered = registerCommand(
    {QStringLiteral("generate"),
     QStringLiteral("generate --entries N [--seed S] OUT  write a realistic file with N entries per ledger"),
     generate});

} // namespace
} // namespace vtrtool
