#include "app/TImportDialog.h"

#include "core/vehicle/textrules.h"
#include "platform/fonts.h"
#include "platform/messages.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QTableWidget>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>

using importer::DateOrder;

namespace {

constexpr int kShownSkipped = 20;

QString countText(int n, const QString &one, const QString &many)
{
    // French takes the singular for 0 and 1.
    return QStringLiteral("%1 %2").arg(n).arg(n <= 1 ? one : many);
}

QString entries(int n)
{
    return countText(n, QStringLiteral("écriture"), QStringLiteral("écritures"));
}

QString rows(int n)
{
    return countText(n, QStringLiteral("ligne"), QStringLiteral("lignes"));
}

QLabel *valueLabel(QWidget *parent, const QString &name)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    // Texts come from the file: never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QString item(const QString &text)
{
    return QStringLiteral("<li>") + text.toHtmlEscaped() + QStringLiteral("</li>");
}

} // namespace

TImportDialog::TImportDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TImportDialog"));
    setWindowTitle(QStringLiteral("Importer"));
    setFont(platform::windowFont());
    setModal(true);

    FileLabel = valueLabel(this, QStringLiteral("FileLabel"));
    FormatLabel = valueLabel(this, QStringLiteral("FormatLabel"));
    VehicleLabel = valueLabel(this, QStringLiteral("VehicleLabel"));
    FuelCount = valueLabel(this, QStringLiteral("FuelCount"));
    GarageCount = valueLabel(this, QStringLiteral("GarageCount"));
    ParkingCount = valueLabel(this, QStringLiteral("ParkingCount"));
    QFont bold = font();
    bold.setBold(true);
    FormatLabel->setFont(bold);

    VehicleBox = new QComboBox(this);
    VehicleBox->setObjectName(QStringLiteral("VehicleBox"));
    VehicleChoiceLabel = new QLabel(QStringLiteral("Véhicule à &importer :"), this);
    VehicleChoiceLabel->setObjectName(QStringLiteral("VehicleChoiceLabel"));
    VehicleChoiceLabel->setBuddy(VehicleBox);
    VehicleNote = new QLabel(QStringLiteral("Le fichier tient l'historique de plusieurs véhicules : un "
                                            "document n'en reprend qu'un, choisissez lequel."),
                             this);
    VehicleNote->setObjectName(QStringLiteral("VehicleNote"));
    VehicleNote->setWordWrap(true);

    DateOrderBox = new QComboBox(this);
    DateOrderBox->setObjectName(QStringLiteral("DateOrderBox"));
    DateOrderLabel = new QLabel(QStringLiteral("&Ordre des dates :"), this);
    DateOrderLabel->setObjectName(QStringLiteral("DateOrderLabel"));
    DateOrderLabel->setBuddy(DateOrderBox);
    DateOrderNote =
        new QLabel(QStringLiteral("Le fichier n'indique pas si ses dates s'écrivent jour avant mois ou "
                                  "mois avant jour : choisissez l'ordre, le résumé suit."),
                   this);
    DateOrderNote->setObjectName(QStringLiteral("DateOrderNote"));
    DateOrderNote->setWordWrap(true);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(5);
    form->addRow(QStringLiteral("Fichier :"), FileLabel);
    form->addRow(QStringLiteral("Format :"), FormatLabel);
    form->addRow(VehicleChoiceLabel, VehicleBox);
    form->addRow(QStringLiteral("Véhicule :"), VehicleLabel);
    form->addRow(QStringLiteral("Carburant :"), FuelCount);
    form->addRow(QStringLiteral("Garage :"), GarageCount);
    form->addRow(QStringLiteral("Stationnement :"), ParkingCount);
    form->addRow(DateOrderLabel, DateOrderBox);

    DoubtLabel = valueLabel(this, QStringLiteral("DoubtLabel"));
    DoubtLabel->setWordWrap(true);
    DoubtLabel->setStyleSheet(QStringLiteral("color: #b00000"));
    DoubtLabel->setVisible(false);
    Preview = new QTableWidget(this);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Preview->setSelectionMode(QAbstractItemView::NoSelection);
    Preview->verticalHeader()->setVisible(false);
    Preview->setMinimumHeight(170);
    Preview->setAccessibleName(QStringLiteral("Premières lignes du fichier"));
    // Tab leaves the table for the next control instead of walking its cells.
    Preview->setTabKeyNavigation(false);
    PreviewLabel = new QLabel(this);
    PreviewLabel->setObjectName(QStringLiteral("PreviewLabel"));
    PreviewLabel->setWordWrap(true);

    Details = new QTextBrowser(this);
    Details->setObjectName(QStringLiteral("Details"));
    Details->setOpenLinks(false);
    Details->setMinimumHeight(150);

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Annuler"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    for (QPushButton *b : {OKButton, CancelButton})
        b->setMinimumSize(80, 25);
    connect(OKButton, &QPushButton::clicked, this, &TImportDialog::OKButtonClick);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addLayout(form);
    layout->addWidget(VehicleNote);
    layout->addWidget(DateOrderNote);
    layout->addWidget(DoubtLabel);
    layout->addWidget(PreviewLabel);
    layout->addWidget(Preview, 1);
    auto *detailLabel = new QLabel(QStringLiteral("Détail :"), this);
    detailLabel->setBuddy(Details);
    layout->addWidget(detailLabel);
    layout->addWidget(Details, 1);
    layout->addLayout(buttons);

    for (QWidget *w : std::initializer_list<QWidget *>{DateOrderLabel, DateOrderBox, DateOrderNote,
                                                       VehicleChoiceLabel, VehicleBox, VehicleNote})
        w->setVisible(false);
    connect(DateOrderBox, &QComboBox::activated, this, &TImportDialog::DateOrderBoxChange);
    connect(VehicleBox, &QComboBox::activated, this, &TImportDialog::VehicleBoxChange);
    resize(760, 720);
}

QString TImportDialog::orderName(DateOrder order)
{
    switch (order) {
    case DateOrder::DMY:
        return QStringLiteral("jour/mois/année (31/12/2024)");
    case DateOrder::MDY:
        return QStringLiteral("mois/jour/année (12/31/2024)");
    case DateOrder::YMD:
        return QStringLiteral("année/mois/jour (2024/12/31)");
    case DateOrder::Unknown:
        break;
    }
    return QString();
}

bool TImportDialog::Init(const QString &path, const QDate &today)
{
    m_path = path;
    m_today = today;
    m_order = DateOrder::Unknown;
    m_vehicle.clear();
    m_columns.clear();
    DateOrderBox->clear();
    VehicleBox->clear();
    for (QWidget *w : std::initializer_list<QWidget *>{DateOrderLabel, DateOrderBox, DateOrderNote,
                                                       VehicleChoiceLabel, VehicleBox, VehicleNote})
        w->setVisible(false);
    settle();
    if (!m_result.ok || m_result.report.needsDateOrder || m_result.report.needsVehicle) {
        if (m_result.error.isEmpty())
            m_result.error = QStringLiteral("Format de fichier non reconnu");
        return false;
    }
    showSummary();
    return true;
}

QString TImportDialog::error() const
{
    QString text = m_result.error;
    // A file read that gave nothing: what it held, and why none of it came in.
    if (m_result.noEntry)
        text += u'\n' + m_result.report.leftOutLines().join(u'\n');
    // The error box ends the message with a full stop; its first line takes one too.
    const qsizetype lineEnd = text.indexOf(u'\n');
    if (lineEnd > 0 && text[lineEnd - 1] != u'.')
        text.insert(lineEnd, u'.');
    return text;
}

void TImportDialog::settle()
{
    runImport();
    const importer::Report &r = m_result.report;
    if (r.needsVehicle && !r.vehicles.empty()) {
        // The vehicle with the most entries first, as the one most likely wanted.
        VehicleBox->clear();
        int chosen = 0, most = -1;
        for (const importer::VehicleChoice &v : r.vehicles) {
            if (v.entries > most) {
                most = v.entries;
                chosen = VehicleBox->count();
            }
            VehicleBox->addItem(QStringLiteral("%1 (%2)").arg(v.name, entries(v.entries)), v.name);
        }
        VehicleBox->setCurrentIndex(chosen);
        for (QWidget *w : std::initializer_list<QWidget *>{VehicleChoiceLabel, VehicleBox, VehicleNote})
            w->setVisible(true);
        m_vehicle = VehicleBox->itemData(chosen).toString();
        runImport();
    }
    if (m_result.report.needsDateOrder && !m_result.report.possibleOrders.empty()) {
        // The day before the month is what a French user writes: first choice when the dates allow it.
        DateOrderBox->clear();
        int chosen = 0;
        for (DateOrder o : m_result.report.possibleOrders) {
            if (o == DateOrder::DMY)
                chosen = DateOrderBox->count();
            DateOrderBox->addItem(orderName(o), int(o));
        }
        DateOrderBox->setCurrentIndex(chosen);
        for (QWidget *w : std::initializer_list<QWidget *>{DateOrderLabel, DateOrderBox, DateOrderNote})
            w->setVisible(true);
        m_order = DateOrder(DateOrderBox->itemData(chosen).toInt());
        runImport();
    }
}

void TImportDialog::DateOrderBoxChange(int index)
{
    const auto order = DateOrder(DateOrderBox->itemData(index).toInt());
    if (order == m_order)
        return;
    m_order = order;
    runImport();
    showSummary();
}

void TImportDialog::VehicleBoxChange(int index)
{
    const QString vehicle = VehicleBox->itemData(index).toString();
    if (vehicle == m_vehicle)
        return;
    m_vehicle = vehicle;
    settle(); // this vehicle's dates may leave their order open
    showSummary();
}

void TImportDialog::PartBoxChange(int column, int index)
{
    const std::vector<importer::ColumnUse> &columns = m_result.report.columns;
    auto *box = qobject_cast<QComboBox *>(Preview->cellWidget(0, column));
    if (!box || size_t(column) >= columns.size())
        return;
    const auto part = importer::Part(box->itemData(index).toInt());
    const QString header = columns[size_t(column)].header;
    const auto same = [&header](const importer::ColumnChoice &c) { return c.header == header; };
    std::erase_if(m_columns, same);
    m_columns.push_back({header, part});
    runImport();
    showSummary();
}

void TImportDialog::OKButtonClick()
{
    const std::vector<importer::Doubt> &doubts = m_result.report.doubts;
    if (!doubts.empty()) {
        QStringList texts;
        for (const importer::Doubt &d : doubts)
            texts << QStringLiteral("- ") + d.text;
        if (!platform::Messages::askYesNo(
                this, QStringLiteral("Importer"),
                QStringLiteral("Les chiffres lus laissent un doute :\n%1\n\nImporter quand même ?")
                    .arg(texts.join(u'\n'))))
            return;
    }
    accept();
}

void TImportDialog::showPreview()
{
    const importer::Report &r = m_result.report;
    Preview->clear();
    const bool editable = !r.columns.empty();
    if (r.preview.empty()) {
        Preview->setRowCount(0);
        Preview->setColumnCount(0);
        PreviewLabel->clear();
        return;
    }
    // A spreadsheet's header names its columns; a format whose reader fixes them shows its first
    // records as they are.
    const QStringList &header = r.preview.front();
    const size_t first = editable ? 1 : 0;
    int columns = int(header.size());
    for (const QStringList &row : r.preview)
        columns = std::max(columns, int(row.size()));
    Preview->setColumnCount(columns);
    Preview->setRowCount(int(r.preview.size() - first) + 1);
    QStringList labels;
    for (int c = 0; c < columns; ++c)
        labels << (editable ? header.value(c) : QString::number(c + 1));
    Preview->setHorizontalHeaderLabels(labels);
    for (int c = 0; c < columns; ++c) {
        if (editable && size_t(c) < r.columns.size()) {
            const importer::ColumnUse &use = r.columns[size_t(c)];
            auto *box = new QComboBox(Preview);
            box->setObjectName(QStringLiteral("PartBox%1").arg(c));
            box->setAccessibleName(QStringLiteral("Rôle de la colonne %1").arg(use.header));
            std::vector<importer::Part> parts = importer::choosableParts();
            // A part only a recognised column has stays on offer to that column.
            if (std::find(parts.begin(), parts.end(), use.part) == parts.end())
                parts.push_back(use.part);
            for (importer::Part p : parts)
                box->addItem(importer::partName(p), int(p));
            box->setCurrentIndex(box->findData(int(use.part)));
            QFont f = box->font();
            f.setBold(use.part != importer::Part::Ignored);
            box->setFont(f);
            connect(box, &QComboBox::activated, this, [this, c](int index) { PartBoxChange(c, index); });
            Preview->setCellWidget(0, c, box);
        } else {
            auto *fixed = new QTableWidgetItem(editable ? QString() : QStringLiteral("fixée par le format"));
            fixed->setForeground(QColor(0x60, 0x60, 0x60));
            Preview->setItem(0, c, fixed);
        }
    }
    for (size_t row = first; row < r.preview.size(); ++row)
        for (int c = 0; c < int(r.preview[row].size()); ++c)
            Preview->setItem(int(row - first) + 1, c, new QTableWidgetItem(r.preview[row][c]));
    Preview->resizeColumnsToContents();
    Preview->resizeRowsToContents();
    PreviewLabel->setText(editable ? QStringLiteral("&Premières lignes du fichier, sous la partie que remplit chaque "
                                                    "colonne (changez-la dans sa liste) :")
                                   : QStringLiteral("Premières lignes du fichier : le format « %1 » fixe ce que "
                                                    "chaque colonne remplit.")
                                         .arg(r.format));
    PreviewLabel->setBuddy(editable ? Preview->cellWidget(0, 0) : nullptr);
}

void TImportDialog::runImport()
{
    // A long history takes a moment to read.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_result = importer::importFile(m_path, importer::Options{m_order, m_vehicle, m_columns}, m_today);
    // "Prix d'achat" in the right-aligned form of the document window.
    QString &price = m_result.record.edit[4];
    if (!price.isEmpty()) {
        const QFontMetrics metrics(platform::windowFont());
        price = textrules::Rset(price, 116,
                                [&metrics](const QString &t) { return metrics.horizontalAdvance(t); });
    }
    QApplication::restoreOverrideCursor();
}

void TImportDialog::showSummary()
{
    const importer::Report &r = m_result.report;
    FileLabel->setText(QFileInfo(m_path).fileName());
    FileLabel->setToolTip(QFileInfo(m_path).absoluteFilePath());
    showPreview();
    QStringList doubts;
    for (const importer::Doubt &d : r.doubts)
        doubts << QStringLiteral("Doute : ") + d.text;
    DoubtLabel->setText(doubts.join(u'\n'));
    DoubtLabel->setVisible(m_result.ok && !doubts.isEmpty());
    if (!m_result.ok) {
        for (QLabel *l : {FormatLabel, VehicleLabel, FuelCount, GarageCount, ParkingCount})
            l->clear();
        Details->setHtml(QStringLiteral("<p style=\"color:#a00000\">") + m_result.error.toHtmlEscaped() +
                         QStringLiteral("</p>"));
        OKButton->setEnabled(false);
        return;
    }
    FormatLabel->setText(r.format);
    VehicleLabel->setText(r.vehicleName.isEmpty() ? QStringLiteral("(sans nom)") : r.vehicleName);
    FuelCount->setText(entries(r.fuelCount));
    GarageCount->setText(entries(r.garageCount));
    ParkingCount->setText(entries(r.parkingCount));
    Details->setHtml(detailsHtml());
    OKButton->setEnabled(true);
}

QString TImportDialog::detailsHtml() const
{
    const importer::Report &r = m_result.report;
    QString html;
    auto heading = [&html](const QString &text) {
        html += QStringLiteral("<p style=\"margin-top:6px; margin-bottom:2px\"><b>") + text +
                QStringLiteral("</b></p>");
    };
    auto paragraph = [&html](const QString &text) {
        html +=
            QStringLiteral("<p style=\"margin-top:0px\">") + text.toHtmlEscaped() + QStringLiteral("</p>");
    };
    // A paragraph that introduces the list below it.
    auto lead = [&html](const QString &text) {
        html += QStringLiteral("<p style=\"margin-top:0px; margin-bottom:0px\">") + text.toHtmlEscaped() +
                QStringLiteral("</p>");
    };
    auto list = [&html](const QStringList &items) {
        html += QStringLiteral("<ul style=\"margin-top:0px; margin-left:-20px\">");
        for (const QString &i : items)
            html += item(i);
        html += QStringLiteral("</ul>");
    };

    if (!r.readings.isEmpty()) {
        heading(QStringLiteral("Lecture des colonnes"));
        list(r.readings);
    }
    heading(QStringLiteral("Conversions d'unités"));
    if (r.conversions.isEmpty())
        paragraph(QStringLiteral("Aucune : le fichier compte déjà en kilomètres et en litres."));
    else
        list(r.conversions);
    paragraph(QStringLiteral("Les montants restent dans la monnaie du fichier."));
    if (r.otherUnitFuel > 0)
        paragraph(QStringLiteral("%1 en kg ou en kWh : « Litres » reste vide, la quantité et son unité "
                                 "vont dans la description.")
                      .arg(countText(r.otherUnitFuel, QStringLiteral("plein"), QStringLiteral("pleins"))));

    heading(QStringLiteral("Laissé de côté"));
    bool nothingLeft = true;
    if (!r.leftOut.empty()) {
        nothingLeft = false;
        QStringList cats;
        for (const importer::LeftOut &l : r.leftOut) {
            QString line = QStringLiteral("%1 : %2, total %3").arg(l.category, rows(l.rows), l.total);
            if (!l.reason.isEmpty())
                line += QStringLiteral(" — ") + l.reason;
            if (!l.titles.isEmpty())
                line += QStringLiteral(" : ") + l.titles.join(QStringLiteral(", "));
            cats << line;
        }
        list(cats);
    }
    if (!r.skippedTables.empty()) {
        nothingLeft = false;
        lead(QStringLiteral("Tables du fichier non reprises :"));
        QStringList tables;
        for (const importer::SkippedTable &t : r.skippedTables)
            tables << QStringLiteral("%1 (%2)").arg(t.name, rows(t.rows));
        list(tables);
    }
    if (!r.ignoredColumns.isEmpty()) {
        nothingLeft = false;
        paragraph(QStringLiteral("Colonnes ignorées : ") + r.ignoredColumns.join(QStringLiteral(", ")));
    }
    if (!r.skipped.empty()) {
        nothingLeft = false;
        lead(QStringLiteral("Lignes illisibles (date ou nombre), non importées :"));
        QStringList skipped;
        const int shown = std::min<int>(kShownSkipped, int(r.skipped.size()));
        for (int i = 0; i < shown; ++i)
            skipped << QStringLiteral("ligne %1 : %2")
                           .arg(r.skipped[std::size_t(i)].line)
                           .arg(r.skipped[std::size_t(i)].reason);
        if (int(r.skipped.size()) > shown)
            skipped << QStringLiteral("et %1 de plus").arg(rows(int(r.skipped.size()) - shown));
        list(skipped);
    }
    if (r.duplicates > 0) {
        nothingLeft = false;
        paragraph(QStringLiteral("%1 en double (même date, compteur, quantité et montant) : l'écriture "
                                 "n'est gardée qu'une fois.")
                      .arg(rows(r.duplicates)));
    }
    if (nothingLeft)
        paragraph(QStringLiteral("Rien : toutes les lignes de dépenses du fichier sont reprises."));
    if (r.replacedCharacters > 0)
        paragraph(
            QStringLiteral("%1 que les fichiers voiture ne peuvent pas contenir : remplacé%2 par la forme "
                           "la plus proche ou supprimé%2.")
                .arg(countText(r.replacedCharacters, QStringLiteral("caractère"),
                               QStringLiteral("caractères")),
                     r.replacedCharacters > 1 ? QStringLiteral("s") : QString()));

    if (!r.vehicleType.isEmpty() || !r.purchasePrice.isEmpty()) {
        heading(QStringLiteral("Description du véhicule"));
        if (!r.vehicleType.isEmpty())
            paragraph(QStringLiteral("Type de véhicule : %1, d'après le carburant du fichier.")
                          .arg(r.vehicleType));
        if (!r.purchasePrice.isEmpty())
            paragraph(QStringLiteral("Prix d'achat : %1, d'après l'achat du véhicule noté dans le fichier "
                                     "(ce n'est pas une dépense des registres).")
                          .arg(r.purchasePrice));
    }
    if (r.purchaseDate.isValid()) {
        heading(QStringLiteral("Date d'achat"));
        if (r.purchaseFromFile)
            paragraph(QStringLiteral("Fixée au %1, date de l'achat du véhicule noté dans le fichier.")
                          .arg(r.purchaseDate.toString(QStringLiteral("dd/MM/yyyy"))));
        else
            paragraph(QStringLiteral("Fixée au %1, date de la plus ancienne écriture, pour que les "
                                     "statistiques couvrent tout l'historique.")
                          .arg(r.purchaseDate.toString(QStringLiteral("dd/MM/yyyy"))));
    }
    if (r.registrationDate.isValid()) {
        heading(QStringLiteral("Date de première mise en circulation"));
        paragraph((r.registrationFromYear
                       ? QStringLiteral("Fixée au %1, le 1er janvier de l'année du véhicule que donne le fichier. "
                                        "Vérifiez-la, le contrôle technique en dépend.")
                       : QStringLiteral("Fixée au %1, la date d'achat : le fichier ne la donne pas. Vérifiez-la, "
                                        "le contrôle technique en dépend."))
                      .arg(r.registrationDate.toString(QStringLiteral("dd/MM/yyyy"))));
    }
    return html;
}
