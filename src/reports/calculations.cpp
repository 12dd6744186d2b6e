// Placeholder bodies so that the tree builds; the real calculations replace them.
#include "reports/calculations.h"

CalcText Calcul1(const VehicleRecord &) { return std::nullopt; }
CalcText Calcul2(const VehicleRecord &) { return std::nullopt; }
CalcText Calcul3(const VehicleRecord &) { return std::nullopt; }
CalcText Calcul4(const VehicleRecord &) { return std::nullopt; }
Calcul5Result Calcul5(const VehicleRecord &) { return {}; }

void applyCalcul(VehicleRecord &r, int which)
{
    auto put = [&r](int field, const CalcText &t) {
        if (t)
            r.edit[field] = *t;
    };
    switch (which) {
    case 1: put(11, Calcul1(r)); break;
    case 2: put(12, Calcul2(r)); break;
    case 3: put(18, Calcul3(r)); break;
    case 4: put(23, Calcul4(r)); break;
    case 5: {
        const Calcul5Result c = Calcul5(r);
        put(25, c.consumption);
        put(26, c.pricePerLitre);
        break;
    }
    default: break;
    }
}

void computeAll(VehicleRecord &r)
{
    for (int i = 1; i <= 5; ++i)
        applyCalcul(r, i);
}
