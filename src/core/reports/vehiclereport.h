#pragma once
// What the vehicle report ("Bilan du véhicule") says, as texts: the printed page, the PDF and
// vtrtool all lay out the same content.

#include "core/reports/yearlysums.h"
#include "core/vehicle/record.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vehiclereport {

struct Options {
    int year = 0;                       // 0: every year
    std::optional<long double> kmPro;   // "Kilomètres professionnels" of that year
    QDate today;
    QString fileName;                   // shown in the footer (the name, without its folder)
};

struct Field {
    QString label;
    QString value;
};

struct GarageLine {
    QString date;
    QString description;
    QString odometer;
    QString amount;
    QString mark; // "Entretien", "Contrôle technique" or empty
};

struct Content {
    QString title;
    QString period;                // "Toutes les années" or "Année 2025"
    std::vector<Field> header;

    QStringList tableHeadings;     // nine columns
    std::vector<QStringList> table;
    bool tableHasTotal = false;    // the last row is the total row
    QStringList tableNotes;

    yearlysums::YearlyFill chart;  // the years the chart draws

    std::vector<GarageLine> garage;
    QStringList garageNotes;
    QStringList due;               // what is due today, one sentence a line

    std::vector<Field> consumption;
    QStringList consumptionNotes;

    std::vector<Field> fraisReels; // empty without "Kilomètres professionnels"
    QStringList fraisReelsNotes;

    QString footer;                // file name and the day the report was made
};

// The years in which some entry of the three ledgers is dated, latest last.
std::vector<int> yearsWithEntries(const VehicleRecord &r);

Content build(const VehicleRecord &r, const Options &options);

// The whole content as lines of text, sections in order (for the tests and the tool's checks).
QString plainText(const Content &c);

} // namespace vehiclereport
