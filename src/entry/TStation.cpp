// Placeholder so that the document window can be built against the dialog's interface.
#include "entry/TStation.h"

TStation::TStation(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TStation"));
}

void TStation::Init(const ParkingEntry &) {}

void TStation::Result(ParkingEntry &texts) const
{
    texts[col::Date].clear();
}
