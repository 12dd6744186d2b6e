// Placeholder so that the document window can be built against the dialog's interface.
#include "entry/TFEntr.h"

TFEntr::TFEntr(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFEntr"));
}

void TFEntr::Init(const GarageEntry &) {}

void TFEntr::Result(GarageEntry &texts) const
{
    texts[col::Date].clear();
}
