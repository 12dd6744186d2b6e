#include "ui/reports/TBilan.h"

#include "core/vehicle/textrules.h"
#include "platform/fonts.h"
#include "ui/widgets/TTextInput.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

TBilan::TBilan(QWidget *parent)
    : QDialog(parent), Label1(new QLabel(QStringLiteral("&Année"), this)), ComboBox1(new QComboBox(this)),
      Label2(new QLabel(QStringLiteral("&Kilomètres professionnels"), this)), Edit1(new QLineEdit(this)),
      Label3(new QLabel(this)), Button1(new QPushButton(QStringLiteral("OK"), this)),
      Button2(new QPushButton(QStringLiteral("Annuler"), this))
{
    setObjectName(QStringLiteral("TBilan"));
    setWindowTitle(QStringLiteral("Bilan du véhicule"));
    setFont(platform::windowFont());
    Label1->setObjectName(QStringLiteral("Label1"));
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    Label2->setObjectName(QStringLiteral("Label2"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Label3->setObjectName(QStringLiteral("Label3"));
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2->setObjectName(QStringLiteral("Button2"));
    Label1->setBuddy(ComboBox1);
    Label2->setBuddy(Edit1);
    Edit1->setAlignment(Qt::AlignRight);
    textinput::keepNumberIn(Edit1, false);
    textinput::clearMarkOnEdit(Edit1);
    Label3->setText(QStringLiteral("Facultatif : compare le barème kilométrique aux frais réels de l'année."));
    Label3->setWordWrap(true);

    auto *form = new QFormLayout;
    form->addRow(Label1, ComboBox1);
    form->addRow(Label2, Edit1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(Label3);
    layout->addLayout(buttons);
    // A small question: nothing to maximise.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    Button1->setDefault(true);
    Label3->setMinimumWidth(360);

    connect(Button1, &QPushButton::clicked, this, &TBilan::accept);
    connect(Button2, &QPushButton::clicked, this, &TBilan::reject);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TBilan::yearChanged);
}

void TBilan::Init(const std::vector<int> &years)
{
    std::vector<int> sorted = years;
    std::sort(sorted.begin(), sorted.end(), std::greater<>());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    ComboBox1->clear();
    ComboBox1->addItem(QStringLiteral("Toutes les années"), 0);
    for (int y : sorted)
        ComboBox1->addItem(QString::number(y), y);
    ComboBox1->setCurrentIndex(sorted.empty() ? 0 : 1);
    Edit1->clear();
    textinput::showWrong(Edit1, false);
    yearChanged();
    ComboBox1->setFocus();
}

int TBilan::year() const
{
    return ComboBox1->currentData().toInt();
}

std::optional<long double> TBilan::kmPro() const
{
    if (year() == 0)
        return std::nullopt;
    const textrules::NumberRead n = textrules::readNumber(Edit1->text());
    if (!n.isNumber())
        return std::nullopt;
    return n.value;
}

void TBilan::accept()
{
    // A distance that does not read would silently drop the comparison: say so instead.
    const textrules::NumberRead n = textrules::readNumber(Edit1->text());
    if (Edit1->isEnabled() && (n.kind == textrules::NumberKind::NotNumber || (n.isNumber() && n.value < 0))) {
        textinput::showWrong(Edit1, true);
        Edit1->setFocus();
        return;
    }
    QDialog::accept();
}

void TBilan::yearChanged()
{
    // The comparison is yearly, as the tax return is.
    Edit1->setEnabled(year() != 0);
    Label2->setEnabled(year() != 0);
}
