#include "ui/entry/TFCarbu.h"

#include <QLineEdit>

TFCarbu::TFCarbu(QWidget *parent)
    : TEntryDialog(parent, QStringLiteral("TFCarbu"), QStringLiteral("Dépenses de carburant"), 175,
                   {{u"Description", false}, {u"Montant", true}, {u"Litres", true}, {u"Compteur", true}}),
      Edit1(edit(1)), Edit2(edit(2)), Edit3(edit(3)), Edit4(edit(4))
{
}

void TFCarbu::Init(const FuelEntry &texts)
{
    initDate(texts[col::Date]);
    Edit1->setText(texts[col::Description]);
    Edit2->setText(texts[col::Montant]);
    Edit3->setText(texts[col::FuelLitres]);
    Edit4->setText(texts[col::FuelCompteur]);
}

void TFCarbu::Result(FuelEntry &texts) const
{
    texts.set(col::Date, resultDate());
    if (texts[col::Date].isEmpty())
        return;
    texts.set(col::Description, Edit1->text());
    texts.set(col::Montant, Edit2->text());
    texts.set(col::FuelLitres, Edit3->text());
    texts.set(col::FuelCompteur, Edit4->text());
}
