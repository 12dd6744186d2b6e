// The eight pages of the document window and the wiring of their fields.
#include "ui/document/TMDIChild.h"

#include "core/vehicle/ledgermodel.h"
#include "ui/document/TDueNotes.h"
#include "ui/widgets/TDatePicker.h"
#include "ui/widgets/TLedgerView.h"
#include "ui/widgets/TTextInput.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int kPictureWidth = 433;
constexpr int kPictureHeight = 281;

QLabel *makeLabel(int number, const QString &text, QWidget *buddy)
{
    auto *label = new QLabel(text);
    label->setObjectName(QStringLiteral("Label%1").arg(number));
    label->setBuddy(buddy);
    return label;
}

QGroupBox *makeGroup(int number, const QString &title, QWidget *parent)
{
    auto *group = new QGroupBox(title, parent);
    group->setObjectName(QStringLiteral("GroupBox%1").arg(number));
    return group;
}

QWidget *makePage(int number)
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("Page%1").arg(number));
    return page;
}

// Narrower tabs, so that the eight page names fit the window's width.
class CompactTabs : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const override
    {
        if (metric == PM_TabBarTabHSpace)
            return QProxyStyle::pixelMetric(metric, option, widget) * 2 / 3;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
};

// Rows of "label, field" in a grid; long labels wrap instead of widening the page.
struct Rows {
    QGridLayout *grid;
    int row = 0;
    void add(QLabel *label, QWidget *field, bool wrap = false)
    {
        label->setWordWrap(wrap);
        grid->addWidget(label, row, 0);
        grid->addWidget(field, row, 1, Qt::AlignLeft);
        ++row;
    }
};

Rows gridIn(QGroupBox *group)
{
    auto *grid = new QGridLayout(group);
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(5);
    grid->setColumnStretch(2, 1);
    return Rows{grid};
}
} // namespace

QLineEdit *TMDIChild::makeEdit(int field, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QStringLiteral("Edit%1").arg(field));
    edit->setProperty("field", field);
    m_edits[std::size_t(field)] = edit;
    const bool number = std::find(numberFields().begin(), numberFields().end(), field) != numberFields().end();
    if (number || isComputedEdit(field))
        edit->setFixedWidth(alignmentWidth(field));
    if (number) {
        edit->installEventFilter(this);
        // Pasted or dropped text; the spaces of the right-aligned form stay.
        textinput::keepNumberIn(edit, true);
        textinput::clearMarkOnEdit(edit);
    } else if (isComputedEdit(field)) {
        QPalette grey = edit->palette();
        grey.setColor(QPalette::Base, grey.color(QPalette::Window));
        edit->setPalette(grey);
        // The fuel figures may be typed over; the totals can only be selected and copied.
        if (field != 25 && field != 26) {
            edit->setReadOnly(true);
            edit->setFocusPolicy(Qt::ClickFocus);
        }
    } else {
        textinput::keep1252In(edit);
    }
    return edit;
}

QDateEdit *TMDIChild::makeDatePicker(int number, QWidget *parent)
{
    auto *picker = new TDatePicker(parent);
    picker->setObjectName(QStringLiteral("DateTimePicker%1").arg(number));
    picker->setMinimumDate(QDate(100, 1, 1));
    m_pickers[std::size_t(number)] = picker;
    return picker;
}

void TMDIChild::buildPages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto *tabStyle = new CompactTabs;
    tabStyle->setParent(PageControl1);
    PageControl1->tabBar()->setStyle(tabStyle);
    m_partialNote = new QLabel(QStringLiteral("Chargement incomplet : enregistrez sous un autre nom pour garder le fichier d'origine."), this);
    m_partialNote->setObjectName(QStringLiteral("LabelIncomplet"));
    m_partialNote->setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
    m_partialNote->setForegroundRole(QPalette::ToolTipText);
    m_partialNote->setBackgroundRole(QPalette::ToolTipBase);
    m_partialNote->setAutoFillBackground(true);
    m_partialNote->setMargin(2);
    m_partialNote->hide();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_partialNote);
    m_due = new TDueNotes(m_record, this);
    layout->addWidget(m_due->bar());
    layout->addWidget(PageControl1);

    PageControl1->addTab(buildDescription(), QStringLiteral("Description"));
    PageControl1->addTab(buildCarburant(), QStringLiteral("Carburant"));
    PageControl1->addTab(buildGarage(), QStringLiteral("Garage"));
    PageControl1->addTab(buildStationnement(), QStringLiteral("Stationnement"));
    PageControl1->addTab(buildFraisKm(), QStringLiteral("Frais / Km"));
    PageControl1->addTab(buildValeur(), QStringLiteral("Valeur"));
    PageControl1->addTab(buildCommentaire(), QStringLiteral("Commentaire"));
    PageControl1->addTab(buildImage(), QStringLiteral("Image"));
    connectFields();
    setUpPageKeys();
    nameControls();
}

QWidget *TMDIChild::buildDescription()
{
    QWidget *page = makePage(1);
    QGroupBox *group = makeGroup(1, QStringLiteral("Informations sur le véhicule"), page);
    Rows rows = gridIn(group);
    for (int field = 1; field <= 3; ++field) {
        QLineEdit *edit = makeEdit(field, group);
        edit->setFixedWidth(300);
        static const char16_t *const labels[] = {u"Marque", u"Modèle", u"Propriétaire"};
        rows.add(makeLabel(field, QString::fromUtf16(labels[field - 1]), edit), edit);
    }
    QDateEdit *bought = makeDatePicker(1, group);
    rows.add(makeLabel(4, QStringLiteral("Date d'achat"), bought), bought);
    QLineEdit *price = makeEdit(4, group);
    rows.add(makeLabel(5, QStringLiteral("Prix d'achat"), price), price);
    QDateEdit *registered = makeDatePicker(2, group);
    rows.add(makeLabel(6, QStringLiteral("Date de première mise en circulation"), registered), registered);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget *TMDIChild::buildCarburant()
{
    QWidget *page = makePage(2);
    m_fuel = new LedgerModel<5>(m_record.ListView1, fuelColumns(), false, this);
    ListView1 = new TLedgerView(m_fuel, page);
    ListView1->setObjectName(QStringLiteral("ListView1"));

    auto *figures = new QHBoxLayout;
    QLineEdit *consumption = makeEdit(25, page);
    QLineEdit *litre = makeEdit(26, page);
    figures->addWidget(makeLabel(7, QStringLiteral("Consommation aux 100"), consumption));
    figures->addWidget(consumption);
    figures->addSpacing(30);
    figures->addWidget(makeLabel(8, QStringLiteral("Prix du litre"), litre));
    figures->addWidget(litre);
    figures->addStretch(1);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(ListView1, 1);
    layout->addLayout(figures);
    return page;
}

QWidget *TMDIChild::buildGarage()
{
    QWidget *page = makePage(3);
    m_garage = new LedgerModel<4>(m_record.ListView2, garageColumns(), false, this);
    ListView2 = new TLedgerView(m_garage, page);
    ListView2->setObjectName(QStringLiteral("ListView2"));

    QGroupBox *group = makeGroup(2, QStringLiteral("Périodicité"), page);
    auto *inGroup = new QVBoxLayout(group);
    auto *row = new QHBoxLayout;
    QLineEdit *interval = makeEdit(24, group);
    row->addWidget(makeLabel(9, QStringLiteral("Kilométrage entre deux entretiens"), interval));
    row->addWidget(interval);
    row->addStretch(1);
    inGroup->addLayout(row);
    inGroup->addWidget(m_due->lines());

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(ListView2, 1);
    layout->addWidget(group);
    return page;
}

QWidget *TMDIChild::buildStationnement()
{
    QWidget *page = makePage(4);
    m_parking = new LedgerModel<3>(m_record.ListView3, parkingColumns(), true, this);
    ListView3 = new TLedgerView(m_parking, page);
    ListView3->setObjectName(QStringLiteral("ListView3"));
    ListView3->allowDateEditing();
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(ListView3);
    return page;
}

QWidget *TMDIChild::buildFraisKm()
{
    QWidget *page = makePage(5);
    struct Line {
        int field;
        const char16_t *label;
    };
    int labelNumber = 10;
    auto fill = [&](QGroupBox *group, std::initializer_list<Line> lines) {
        Rows rows = gridIn(group);
        // Labels take the room the group has and wrap only when it is not enough.
        rows.grid->setColumnStretch(0, 1);
        rows.grid->setColumnStretch(2, 0);
        for (const Line &line : lines) {
            QLineEdit *edit = makeEdit(line.field, group);
            rows.add(makeLabel(labelNumber++, QString::fromUtf16(line.label), edit), edit, true);
        }
    };
    QGroupBox *fixed = makeGroup(3, QStringLiteral("Frais fixes annuels"), page);
    fill(fixed, {{5, u"Coût du stationnement (parking, contaventions...)"},
                 {6, u"Assurance annuelle"},
                 {7, u"Vignette"},
                 {11, u"Total"}});
    QGroupBox *capital = makeGroup(4, QStringLiteral("Perte sur le capital"), page);
    fill(capital, {{8, u"Décote annuelle moyenne (Consulter Argus)"},
                   {9, u"Intérêt qu'aurait pû rapporter le capital placé"},
                   {10, u"Crédit annuel (éventuellement)"},
                   {12, u"Total"}});
    QGroupBox *use = makeGroup(5, QStringLiteral("Frais d'utilisation et usure"), page);
    fill(use, {{13, u"Prix moyen du litre"},
               {14, u"Consommation moyenne (100 km)"},
               {15, u"Coût moyen d'un entretien"},
               {16, u"Prix moyen d'un pneu"},
               {17, u"Kilométrage moyen d'un train de pneux"},
               {18, u"Total au kilomètre"}});

    auto *left = new QVBoxLayout;
    left->addWidget(fixed);
    left->addWidget(capital);
    left->addStretch(1);
    auto *right = new QVBoxLayout;
    right->addWidget(use);
    right->addStretch(1);
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    return page;
}

QWidget *TMDIChild::buildValeur()
{
    QWidget *page = makePage(6);
    QGroupBox *group = makeGroup(6, QStringLiteral("Paramètres"), page);
    Rows rows = gridIn(group);
    QDateEdit *valuation = makeDatePicker(3, group);
    rows.add(makeLabel(24, QStringLiteral("Date de l'évaluation"), valuation), valuation);
    struct Line {
        int field;
        int label;
        const char16_t *text;
    };
    for (const Line &line : {Line{19, 25, u"Cours moyen Argus"},
                             Line{20, 26, u"Valeur des options à la revente"},
                             Line{21, 27, u"Kilométrage"},
                             Line{22, 28, u"Puissance fiscale en CV"}}) {
        QLineEdit *edit = makeEdit(line.field, group);
        rows.add(makeLabel(line.label, QString::fromUtf16(line.text), edit), edit);
    }
    ComboBox1 = new QComboBox(group);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    // The type is kept as typed: no completion from the three choices.
    ComboBox1->setCompleter(nullptr);
    ComboBox1->addItems({QStringLiteral("Essence"), QStringLiteral("Diesel"), QStringLiteral("GPL")});
    ComboBox1->setFixedWidth(alignmentWidth(19));
    textinput::keep1252In(ComboBox1->lineEdit());
    rows.add(makeLabel(30, QStringLiteral("Type de véhicule"), ComboBox1), ComboBox1);
    QLineEdit *resale = makeEdit(23, group);
    rows.add(makeLabel(31, QStringLiteral("Prix de revente"), resale), resale);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(group);
    layout->addStretch(1);
    return page;
}

QWidget *TMDIChild::buildCommentaire()
{
    QWidget *page = makePage(7);
    Memo1 = new TCommentEdit(page);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // A fixed scroll bar keeps the wrapping width, hence the saved lines, from changing when
    // the comment grows past one screen.
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setTabChangesFocus(true);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(Memo1);
    return page;
}

QWidget *TMDIChild::buildImage()
{
    QWidget *page = makePage(8);
    auto *caption = new QLabel(QStringLiteral("Ici l'image de votre véhicule"), page);
    caption->setObjectName(QStringLiteral("Label29"));

    auto *bevel = new QFrame(page);
    bevel->setObjectName(QStringLiteral("Bevel1"));
    bevel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    bevel->setLineWidth(1);
    auto *inBevel = new QVBoxLayout(bevel);
    inBevel->setContentsMargins(1, 1, 1, 1);
    Image1 = new QLabel(bevel);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFixedSize(kPictureWidth, kPictureHeight);
    Image1->setAlignment(Qt::AlignCenter);
    inBevel->addWidget(Image1);

    Button1 = new QPushButton(QStringLiteral("Charger"), page);
    Button1->setObjectName(QStringLiteral("Button1"));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch(1);
    auto *row = new QHBoxLayout;
    row->addWidget(bevel);
    row->addSpacing(10);
    row->addLayout(buttons);
    row->addStretch(1);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(caption);
    layout->addLayout(row);
    layout->addStretch(1);
    return page;
}

void TMDIChild::connectFields()
{
    for (int field = 1; field <= 3; ++field)
        connect(m_edits[std::size_t(field)], &QLineEdit::textChanged, this, [this, field](const QString &text) {
            if (m_updating)
                return;
            m_record.edit[std::size_t(field)] = text;
            setModified();
        });
    for (int field : numberFields()) {
        QLineEdit *edit = m_edits[std::size_t(field)];
        connect(edit, &QLineEdit::textChanged, this, [this, field](const QString &text) {
            if (!m_updating)
                m_record.edit[std::size_t(field)] = text;
        });
        // Whatever arrives otherwise than by a key changes the document too.
        connect(edit, &QLineEdit::textEdited, this, [this] { setModified(); });
    }
    // What is typed over a fuel figure is kept until the next calculation; it is never saved.
    for (int field : {25, 26})
        connect(m_edits[std::size_t(field)], &QLineEdit::textEdited, this, [this, field](const QString &text) {
            m_record.edit[std::size_t(field)] = textinput::keep1252(text).trimmed();
        });
    for (int number = 1; number <= 3; ++number) {
        TDatePicker *picker = m_pickers[std::size_t(number)];
        connect(picker, &QDateEdit::dateChanged, this,
                [this, number](const QDate &date) { DateTimePicker1Change(number, date); });
        // The document keeps the last valid date; the status bar says so.
        connect(picker, &TDatePicker::wrongChanged, this, [picker](bool wrong, const QString &typed) {
            if (!wrong)
                return;
            QStatusTipEvent tip(QStringLiteral("La date %1 n'existe pas : le document garde le %2.")
                                    .arg(typed, picker->date().toString(QStringLiteral("dd/MM/yyyy"))));
            QCoreApplication::sendEvent(picker, &tip);
        });
    }
    connect(ComboBox1, &QComboBox::currentTextChanged, this, [this](const QString &text) {
        if (m_updating)
            return;
        m_record.ComboBox1 = text;
        setModified();
        recalc(4);
    });
    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        if (m_updating)
            return;
        syncComment();
        emit documentChanged();
    });
    m_due->watchFuel(m_fuel);
    m_due->watchGarage(m_garage);
    connect(ListView1, &TLedgerView::DblClick, this, [this] { ListView1DblClick(); });
    connect(ListView2, &TLedgerView::DblClick, this, [this] { ListView2DblClick(); });
    connect(ListView3, &TLedgerView::DblClick, this, [this] { ListView3DblClick(); });
    connect(ListView1, &TLedgerView::NewEntry, this, [this] { ListView1DblClick(true); });
    connect(ListView2, &TLedgerView::NewEntry, this, [this] { ListView2DblClick(true); });
    connect(ListView3, &TLedgerView::NewEntry, this, [this] { ListView3DblClick(true); });
    connect(m_parking, &LedgerModelBase::dateEdited, this, [this](int row, const QString &before) {
        setModified();
        const LedgerEntry<3> after = m_parking->entry(row);
        LedgerEntry<3> old = after;
        old.set(col::Date, before);
        pushLedgerStep(m_parking, ListView3, Stationnement, row, std::optional(old), std::optional(after),
                       QStringLiteral("la modification de la date"));
    });
    connect(ListView1, &TLedgerView::DeleteEntry, this, &TMDIChild::Supprime);
    connect(ListView2, &TLedgerView::DeleteEntry, this, &TMDIChild::Supprime);
    connect(ListView3, &TLedgerView::DeleteEntry, this, &TMDIChild::Supprime);
    for (QAbstractItemModel *ledger : std::initializer_list<QAbstractItemModel *>{m_fuel, m_garage, m_parking}) {
        const auto count = [this] { ++m_ledgerChanges; };
        connect(ledger, &QAbstractItemModel::rowsInserted, this, count);
        connect(ledger, &QAbstractItemModel::rowsRemoved, this, count);
        connect(ledger, &QAbstractItemModel::dataChanged, this, count);
        connect(ledger, &QAbstractItemModel::modelReset, this, count);
    }
    connect(PageControl1, &QTabWidget::currentChanged, this, &TMDIChild::PageControl1Change);
    connect(Button1, &QPushButton::clicked, this, &TMDIChild::Button1Click);
}
