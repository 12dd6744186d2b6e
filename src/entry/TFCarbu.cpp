// Placeholder so that the document window can be built against the dialog's interface.
#include "entry/TFCarbu.h"

TFCarbu::TFCarbu(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFCarbu"));
}

void TFCarbu::Init(const FuelEntry &) {}

void TFCarbu::Result(FuelEntry &texts) const
{
    texts[col::Date].clear();
}
