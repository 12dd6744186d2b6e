#include "ui/entry/TStation.h"

#include <QLineEdit>

TStation::TStation(QWidget *parent)
    : TEntryDialog(parent, QStringLiteral("TStation"), QStringLiteral("Dépenses de stationnement"), 122,
                   {{u"Description", false}, {u"Montant", true}}),
      Edit1(edit(1)), Edit2(edit(2))
{
    Edit1->setText(QStringLiteral("Parking"));
}

void TStation::Init(const ParkingEntry &texts)
{
    initDate(texts[col::Date]);
    if (!texts[col::Description].isEmpty())
        Edit1->setText(texts[col::Description]);
    Edit2->setText(texts[col::Montant]);
}

void TStation::Result(ParkingEntry &texts) const
{
    texts.set(col::Date, resultDate());
    if (texts[col::Date].isEmpty())
        return;
    texts.set(col::Description, Edit1->text());
    texts.set(col::Montant, Edit2->text());
}
