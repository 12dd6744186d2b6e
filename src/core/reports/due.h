#pragma once
// What is due on a vehicle: the next service by distance ("Kilométrage entre deux entretiens")
// and the contrôle technique by date. Worked out from the record as it stands and today's
// date; nothing of it is stored in the vehicle file.

#include "core/vehicle/record.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace due {

enum class Kind { Service, Inspection };
enum class Urgency { Unknown, Later, Soon, Overdue };

struct Reminder {
    Kind kind = Kind::Service;
    Urgency urgency = Urgency::Unknown;
    // Service: the odometer it is due at, and what is left to drive (negative once past;
    // nothing when no odometer reading is known). Whole kilometres.
    std::optional<qint64> dueOdometer;
    std::optional<qint64> remainingKm;
    // Inspection: the date it is due by. Service: the date the distance left should be driven
    // by at the pace of the last 365 days (null when that pace is not known).
    QDate date;
    // Texts the rule had to leave out because they do not read (odometers for the service,
    // dates of inspection entries for the contrôle technique).
    int unreadable = 0;
};

struct Report {
    std::optional<qint64> odometer;     // the current odometer, whole kilometres
    std::optional<long double> dailyKm; // the pace of the last 365 days
    std::vector<Reminder> reminders;    // the service first (when Edit24 is set), then the inspection
};

// The one function of the rules.
Report compute(const VehicleRecord &r, const QDate &today);

// What the rules take from one ledger entry. A window keeps these beside its ledgers, entry by
// entry as they change, and works the reminders out again without reading every text anew.
struct EntryFacts {
    long double km = 0;           // the "Compteur", when hasKm
    qint64 day = 0;               // the date as a Julian day, when hasDay
    bool hasKm = false;
    bool hasDay = false;
    bool unreadableKm = false;    // a "Compteur" that is not a number
    bool service = false;         // garage: the description names a service
    bool inspection = false;      // garage: the description names a contrôle technique
};
EntryFacts factsOf(const FuelEntry &e);
EntryFacts factsOf(const GarageEntry &e);

// The same as compute(r, today), from the facts of r's two ledgers (in any order).
Report compute(const VehicleRecord &r, const std::vector<EntryFacts> &fuel,
               const std::vector<EntryFacts> &garage, const QDate &today);

// The sentence shown for a reminder: "Prochain entretien : à 48 500 km, dans 1 200 km (vers le
// 12/02/2027)", "Entretien dépassé de 300 km", "Contrôle technique : avant le 15/03/2027"...
QString sentence(const Reminder &r);

// The sentences of the reminders past due or soon: what the document window puts in its bar.
QStringList attention(const Report &report);

// Whole kilometres with a space between thousands: 48500 gives "48 500".
QString formatKm(qint64 km);

// Description tests, case and accents ignored, on whole words.
// A service: a word starting with "entretien", "révision" or "vidange".
bool namesService(const QString &description);
// A contrôle technique ("contrôle technique", or "CT" as a word of its own), not a contre-visite.
bool namesInspection(const QString &description);

// The short names of the tool's output: "service", "inspection"; "overdue", "soon", "later",
// "unknown".
QString kindName(Kind kind);
QString urgencyName(Urgency urgency);

// The first four years before the first contrôle technique, then two between two; the
// anniversary of a 29 February falls on the 28th in a common year.
inline constexpr int kFirstInspectionYears = 4;
inline constexpr int kInspectionYears = 2;
inline constexpr int kSoonDays = 60;
inline constexpr int kSoonKm = 1000;
inline constexpr int kPaceDays = 365;   // readings that set the pace
inline constexpr int kPaceMinSpan = 30; // days between the first and last of them, at least

} // namespace due
