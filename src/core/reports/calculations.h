#pragma once
// The five cost calculations of a vehicle document. Each reads the record's texts and gives the
// new text of its result field(s) without alignment spaces, or nothing when the field keeps the
// text it has.

#include "core/vehicle/record.h"

#include <optional>

using CalcText = std::optional<QString>;

CalcText Calcul1(const VehicleRecord &r); // Edit11: annual fixed costs
CalcText Calcul2(const VehicleRecord &r); // Edit12: annual capital loss
CalcText Calcul3(const VehicleRecord &r); // Edit18: running cost per kilometre
CalcText Calcul4(const VehicleRecord &r); // Edit23: resale price

struct Calcul5Result {
    CalcText consumption;   // Edit25
    CalcText pricePerLitre; // Edit26
};
Calcul5Result Calcul5(const VehicleRecord &r);

// Runs one calculation (1..5) and stores its result(s) in the record's computed fields.
void applyCalcul(VehicleRecord &r, int which);

// Calcul1 .. Calcul5 in this order, as after loading a file.
void computeAll(VehicleRecord &r);
