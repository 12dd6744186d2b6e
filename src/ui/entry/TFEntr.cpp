#include "ui/entry/TFEntr.h"

#include <QLineEdit>

TFEntr::TFEntr(QWidget *parent)
    : TEntryDialog(parent, QStringLiteral("TFEntr"), QStringLiteral("Dépenses d'entretien"), 149,
                   {{u"Description", false}, {u"Montant", true}, {u"Compteur", true}},
                   /*tabAfterButtons=*/1),
      Edit1(edit(1)), Edit2(edit(2)), Edit3(edit(3))
{
}

void TFEntr::Init(const GarageEntry &texts)
{
    initDate(texts[col::Date]);
    Edit1->setText(texts[col::Description]);
    Edit2->setText(texts[col::Montant]);
    Edit3->setText(texts[col::GarageCompteur]);
}

void TFEntr::Result(GarageEntry &texts) const
{
    texts.set(col::Date, resultDate());
    if (texts[col::Date].isEmpty())
        return;
    texts.set(col::Description, Edit1->text());
    texts.set(col::Montant, Edit2->text());
    texts.set(col::GarageCompteur, Edit3->text());
}
