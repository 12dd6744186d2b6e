// The summary of an import: a phone app's backup kept in miles and imperial gallons, with costs
// that do not belong in a ledger; a spreadsheet whose dates leave their order open; an export
// of two vehicles, of which one is chosen; a personal log whose columns leave a doubt.
#include "shots.h"

#include "app/TImportDialog.h"
#include "app/TMainForm.h"

#include <QDate>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>

#include <functional>

#include <memory>

namespace {

const char kBackup[] = R"csv("## Vehicle"
"Name","Description","DistUnit","FuelUnit","ConsumptionUnit","ImportCSVDateFormat","VIN","Insurance","Plate","Make","Model","Year","TankCount","Tank1Type","Tank2Type","Active","Tank1Capacity","Tank2Capacity","FuelUnitTank2","FuelConsumptionTank2"
"Clio de Julie","","1","2","0","yyyy-MM-dd","","","AB-123-CD","Renault","Clio","2016","1","100","0","1","45","0","0","0"
"## Log"
"Data","Odo (mi)","Fuel (imperial gallons)","Full","Price (optional)","mpg (optional)","latitude (optional)","longitude (optional)","City (optional)","Notes (optional)","Missed","TankNumber","FuelType","VolumePrice","StationID (optional)","ExcludeDistance","UniqueId","TankCalc"
"2023-01-14 09:30","30125","8.2","1","61.50","0","0","0","Dover","","0","1","100","7.50","0","0","1","0"
"2023-02-03 18:10","30480","7.9","1","58.46","0","0","0","Calais","Ferry","0","1","100","7.40","0","0","2","0"
"2023-02-25 08:05","30790","4.1","0","30.50","0","0","0","Amiens","","0","1","100","7.44","0","0","3","0"
"2023-03-19 12:40","31150","8.4","1","63.00","0","0","0","Paris","","1","1","100","7.50","0","0","4","0"
"## CostCategories"
"CostTypeID","Name","priority","color"
"1","Service","0","-1"
"5","Parking","0","-1"
"7","Tolls","0","-1"
"31","Insurance","0","-1"
"## Costs"
"CostTitle","Date","Odo","CostTypeID","Notes","Cost","flag","idR","read","RemindOdo","RemindDate","isTemplate","RepeatOdo","RepeatMonths","isIncome","UniqueId"
"Annual service","2023-01-20","30200","1","Oil and filters","189.00","0","0","1","0","2011-01-01","0","0","0","0","11"
"Eurotunnel","2023-02-03","30470","7","","96.00","0","0","1","0","2011-01-01","0","0","0","0","12"
"Gare du Nord","2023-03-19","31150","5","","24.00","0","0","1","0","2011-01-01","0","0","0","0","13"
"Insurance","2023-01-02","30100","31","","412.00","0","0","1","0","2011-01-01","0","0","12","0","14"
"Insurance","2024-01-02","0","31","","412.00","0","0","1","0","2011-01-01","1","0","12","0","15"
"## FavStations"
"ID","Name"
)csv";

// A spreadsheet whose days and months are all 12 or less: the summary asks for their order.
const char kSpreadsheet[] = R"csv(Date;Kilométrage;Litres;Montant;Lieu
03/04/2024;12000;40,50;70,20;Total Lyon
05/06/2024;12600;38,20;66,00;Esso Bron
08/07/2024;13150;41,00;72,15;Intermarché Vienne
)csv";

// Two vehicles in titled sections, in miles and US gallons, one with its purchase.
const char kTwoVehicles[] = R"csv("Metadata"
"Version","Date Format","Export Date"
"4.8","M/d/yyyy","6/1/2025"

"Vehicles"
"Name","Make","Model","Year","License Plate","Purchase Price","Purchase Date","Fuel Type"
"Blue Truck","Ford","F-150","2015","7ABC123","$32,500.00","5/20/2016","Gasoline"
"Mom's Civic","Honda","Civic","2012","5XYZ987","","","Regular"

"Fill-Up Records"
"Vehicle","Date","Time","Odometer Reading","Distance Unit","Volume","Volume Unit","Price per Unit","Total Cost","Fuel Type","Partial Fill-Up?","Previously Missed Fill-Ups?","Place Name","Notes"
"Blue Truck","3/2/2024","8:15 AM","106,421","mi","20.101","gal","$3.969","$79.78","Regular","No","No","Costco",""
"Blue Truck","3/16/2024","5:40 PM","106,702","mi","10.500","gal","$3.899","","Regular","Yes","No","Shell",""
"Blue Truck","3/30/2024","12:05 PM","107,010","mi","19.800","gal","$3.949","$78.19","Regular","No","Yes","Costco",""
"Mom's Civic","3/5/2024","9:00 AM","88,100","km","38.20","L","$1.65","$63.03","Regular","No","No","Esso",""

"Event Records"
"Vehicle","Date","Time","Odometer Reading","Distance Unit","Type","Sub Types","Total Cost","Payment Type","Place Name","Notes"
"Blue Truck","3/10/2024","10:00 AM","106,550","mi","Service","Oil Change; Oil Filter","$79.99","Credit Card","Jiffy Lube",""
"Blue Truck","3/12/2024","1:00 PM","106,600","mi","Expense","Parking","$24.00","Cash","Airport","3 days"
"Blue Truck","1/5/2024","9:00 AM","","mi","Expense","Insurance","$612.40","Check","",""
"Mom's Civic","3/6/2024","9:00 AM","88,150","km","Service","Tire Rotation","$25.00","Cash","Costco",""

"Trip Records"
"Vehicle","Start Date","End Date","Start Odometer","End Odometer","Distance Unit","Trip Type"
"Blue Truck","3/20/2024","3/21/2024","106,800","107,000","mi","Business"
)csv";

// An oil-change log whose "Gallons" are burnt between changes, not bought: 560 litres a row.
const char kOilLog[] = R"csv(Date;Odometer;Gallons burnt;Cost;Garage;Notes
14/01/2022;61200;150;89,90;Garage Martin;vidange 5W30
15/07/2022;68950;148;95,00;Garage Martin;vidange + filtre à air
22/02/2023;74410;151;92,50;Norauto Bron;vidange
30/08/2023;80120;149;97,80;Garage Martin;vidange, plaquettes vues
)csv";

std::unique_ptr<QTemporaryDir> g_dir;
QPointer<TImportDialog> g_dialog;

std::function<void(TMainForm *)> showSummary(const QString &name, const char *content)
{
    return [name, content](TMainForm *frame) {
        g_dir = std::make_unique<QTemporaryDir>();
        const QString path = g_dir->filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) < 0)
            return;
        file.close();
        g_dialog = new TImportDialog(frame);
        if (!g_dialog->Init(path, QDate(2024, 5, 2)))
            return;
        g_dialog->show();
        g_dialog->move(frame->geometry().center() - g_dialog->rect().center());
    };
}

void hideSummary(TMainForm *)
{
    delete g_dialog;
    g_dir.reset();
}

const bool registered = [] {
    shots::add(400, {QStringLiteral("import-summary"),
                     showSummary(QStringLiteral("Fuelio-Clio.csv"), kBackup), hideSummary});
    shots::add(401, {QStringLiteral("import-date-order"),
                     showSummary(QStringLiteral("pleins.csv"), kSpreadsheet), hideSummary});
    shots::add(402, {QStringLiteral("import-vehicle-choice"),
                     showSummary(QStringLiteral("aCar-export.csv"), kTwoVehicles), hideSummary});
    shots::add(403, {QStringLiteral("import-preview-doubt"),
                     showSummary(QStringLiteral("carnet-vidanges.csv"), kOilLog), hideSummary});
    return true;
}();

} // namespace
