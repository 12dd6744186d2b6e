#include "ui/document/TMDIChild.h"

#include "core/reports/calculations.h"
#include "core/vehicle/filestate.h"
#include "core/vehicle/ledgermodel.h"
#include "core/vehicle/tabexport.h"
#include "core/vehicle/textrules.h"
#include "core/vehicle/vtrfile.h"
#include "platform/filedialogs.h"
#include "platform/fonts.h"
#include "platform/messages.h"
#include "platform/pictures.h"
#include "platform/systemclock.h"
#include "ui/document/TDueNotes.h"
#include "ui/document/documentframe.h"
#include "ui/document/documentwindows.h"
#include "ui/entry/TFCarbu.h"
#include "ui/entry/TFEntr.h"
#include "ui/entry/TStation.h"
#include "ui/widgets/TDatePicker.h"
#include "ui/widgets/TLedgerView.h"
#include "ui/widgets/TTextInput.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPixmap>
#include <QScopeGuard>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUndoStack>

#include <utility>

namespace {
constexpr int kPictureWidth = 433;

const QString kVehicleFilter = QStringLiteral("Fichier voiture (*.vtr)|*.vtr|Tous les fichiers (*.*)|*.*");
const QString kPictureFilter = QString::fromUtf16(
    u"Tout (*.bmp;*.ico;*.emf;*.wmf;*.jpg)|*.bmp;*.ico;*.emf;*.wmf;*.jpg|Bitmaps (*.bmp)|*.bmp|"
    u"Icônes (*.ico)|*.ico|MétaFichiers améliorés (*.emf)|*.emf|MetaFichiers (*.wmf)|*.wmf|"
    u"Compressés Jpeg (*.jpg)|*.jpg");

// The calculation that depends on each number field (0: none).
int calculationOf(int field)
{
    switch (field) {
    case 5: case 6: case 7: return 1;
    case 8: case 9: case 10: return 2;
    case 13: case 14: case 15: case 16: case 17: case 24: return 3;
    case 19: case 20: case 21: case 22: return 4;
    default: return 0;
    }
}

// The shared steps of the three double-click flows: the dialog changes the selected entry, or
// adds one when none is selected (or when `asNew`, the Insert key). The row changed or added, with
// the entry it held before (none for an added one); nothing when the ledger did not change.
template <class Dialog, std::size_t N>
std::optional<int> runEntryDialog(Dialog *dialog, TLedgerView *view, LedgerModel<N> *model, bool asNew,
                                  std::optional<LedgerEntry<N>> &before)
{
    if (!dialog)
        return std::nullopt;
    const int row = asNew ? -1 : view->selectedEntry();
    LedgerEntry<N> texts;
    if (row >= 0)
        texts = model->entry(row);
    dialog->Init(texts);
    dialog->exec();
    dialog->Result(texts);
    if (texts[col::Date].isEmpty())
        return std::nullopt;
    if (row >= 0 && row < model->rowCount()) {
        before = model->entry(row);
        model->replace(row, texts);
        return row;
    }
    model->append(texts);
    view->scrollToBottom();
    return model->rowCount() - 1;
}
} // namespace

TMDIChild::TMDIChild(DocumentFrame *frame, QWidget *parent)
    : QWidget(parent), m_frame(frame), m_record(VehicleRecord::create(platform::SystemClock::today()))
{
    setObjectName(QStringLiteral("TMDIChild"));
    setWindowTitle(QStringLiteral("Enfant MDI"));
    setFont(platform::windowFont());
    buildPages();
    resize(666, 409);
    showRecord();
    PageControl1->setCurrentIndex(Description);
    m_record.modified = false;
    wireUndo();
}

TMDIChild::~TMDIChild()
{
    // The pages go first: an open in-place editor commits into the record as it closes, and
    // the models read the record, which is gone once this body ends. No step is taken meanwhile.
    m_updating = true;
    // The frame may ask for this window's stack while it goes: it is gone first.
    delete std::exchange(m_undo, nullptr);
    delete PageControl1;
    delete m_fuel;
    delete m_garage;
    delete m_parking;
}

int TMDIChild::alignmentWidth(int field)
{
    switch (field) {
    case 4: return 116;
    case 25: case 26: return 112;
    default: return 110;
    }
}

const std::array<int, 17> &TMDIChild::numberFields()
{
    static constexpr std::array<int, 17> fields{4, 5, 6, 7, 8, 9, 10, 13, 14, 15, 16, 17, 19, 20, 21, 22, 24};
    return fields;
}

int TMDIChild::currentPage() const
{
    return PageControl1->currentIndex();
}

void TMDIChild::showPage(int page)
{
    PageControl1->setCurrentIndex(page);
}

QString TMDIChild::rset(int field, const QString &text) const
{
    const QFontMetrics metrics(m_edits[std::size_t(field)]->font());
    return textrules::Rset(text, alignmentWidth(field),
                           [&metrics](const QString &s) { return metrics.horizontalAdvance(s); });
}

// ---- Fields -------------------------------------------------------------------------------

bool TMDIChild::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (edit && edit->property("field").isValid() && !edit->property("undoField").toBool()) {
        if (event->type() == QEvent::KeyPress)
            return Edit4KeyPress(edit, static_cast<QKeyEvent *>(event));
        // A context menu taking the focus is no leaving of the field.
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
            numberExit(edit->property("field").toInt());
            commitFieldStep();
        }
    } else if (event->type() == QEvent::FocusOut && watched->property("undoField").toBool() &&
               static_cast<QFocusEvent *>(event)->reason() != Qt::PopupFocusReason) {
        commitFieldStep();
    }
    return QWidget::eventFilter(watched, event);
}

// The key filter of the number fields. Every typed key counts as a change of the document, also
// one that the filter drops. Returns true when the key is consumed here.
bool TMDIChild::Edit4KeyPress(QLineEdit *edit, QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false; // shortcuts: a paste is filtered when the text arrives
    if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab)
        return false;
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    setModified();
    if (text.size() == 1 && (text[0].unicode() < 0x20 || text[0].unicode() == 0x7f))
        return false; // Backspace, Delete and the like keep their editing role
    QString kept;
    for (const QChar c : text)
        if (const std::optional<QChar> k = textrules::filterKey(c); k && *k != QChar(8))
            kept.append(*k);
    if (kept == text)
        return false;
    if (!kept.isEmpty())
        edit->insert(kept);
    return true;
}

void TMDIChild::numberExit(int field)
{
    QLineEdit *edit = m_edits[std::size_t(field)];
    const QString shown = rset(field, edit->text());
    if (shown != edit->text())
        edit->setText(shown);
    textinput::markNumber(edit);
    m_record.edit[std::size_t(field)] = shown;
    if (const int which = calculationOf(field))
        recalc(which);
    if (field == 21 || field == 24)
        m_due->refresh();
}

void TMDIChild::DateTimePicker1Change(int picker, const QDate &date)
{
    if (m_updating)
        return;
    switch (picker) {
    case 1: m_record.DateTimePicker1 = date; break;
    case 2: m_record.DateTimePicker2 = date; break;
    default: m_record.DateTimePicker3 = date; break;
    }
    setModified();
    if (picker != 1)
        recalc(4);
    if (picker == 2)
        m_due->refresh();
}

void TMDIChild::recalc(int which)
{
    applyCalcul(m_record, which);
    switch (which) {
    case 1: showComputed(11); break;
    case 2: showComputed(12); break;
    case 3: showComputed(18); break;
    case 4: showComputed(23); break;
    case 5: showComputed(25); showComputed(26); break;
    default: break;
    }
}

void TMDIChild::showComputed(int field)
{
    const bool updating = std::exchange(m_updating, true);
    m_edits[std::size_t(field)]->setText(rset(field, m_record.edit[std::size_t(field)]));
    m_updating = updating;
}

// Fills every widget from the record; nothing of it counts as a change by the user.
void TMDIChild::showRecord()
{
    const bool updating = std::exchange(m_updating, true);
    for (int field = 1; field < int(m_record.edit.size()); ++field) {
        if (isComputedEdit(field))
            showComputed(field);
        else
            m_edits[std::size_t(field)]->setText(m_record.edit[std::size_t(field)]);
    }
    for (int field : numberFields())
        textinput::markNumber(m_edits[std::size_t(field)]);
    const std::array<const QDate *, 4> dates{nullptr, &m_record.DateTimePicker1, &m_record.DateTimePicker2,
                                             &m_record.DateTimePicker3};
    for (int number = 1; number <= 3; ++number)
        if (dates[std::size_t(number)]->isValid())
            m_pickers[std::size_t(number)]->resetDate(*dates[std::size_t(number)]);
    ComboBox1->setCurrentText(m_record.ComboBox1);
    Memo1->setPlainText(m_record.Memo1.join(QLatin1Char('\n')));
    Memo1->document()->setModified(false);
    m_updating = updating;
    m_due->refresh();
}

// ---- Pages and ledgers --------------------------------------------------------------------

void TMDIChild::PageControl1Change(int page)
{
    if (page == Image)
        lookForMissingPicture();
    if (!m_frame)
        return;
    const bool ledger = page == Carburant || page == Garage || page == Stationnement;
    m_frame->SetSup(ledger);
    m_frame->SetExport(ledger);
}

void TMDIChild::ListView1DblClick(bool asNew)
{
    commitFieldStep();
    std::optional<LedgerEntry<5>> before;
    const std::optional<int> row = runEntryDialog(documentWindows().FCarbu, ListView1, m_fuel, asNew, before);
    if (!row)
        return;
    setModified();
    recalc(5);
    pushLedgerStep(m_fuel, ListView1, Carburant, *row, before, std::optional(m_fuel->entry(*row)));
}

void TMDIChild::ListView2DblClick(bool asNew)
{
    commitFieldStep();
    std::optional<LedgerEntry<4>> before;
    const std::optional<int> row =
        runEntryDialog(documentWindows().FEntr, ListView2, m_garage, asNew, before);
    if (!row)
        return;
    setModified();
    pushLedgerStep(m_garage, ListView2, Garage, *row, before, std::optional(m_garage->entry(*row)));
}

void TMDIChild::ListView3DblClick(bool asNew)
{
    commitFieldStep();
    std::optional<LedgerEntry<3>> before;
    const std::optional<int> row =
        runEntryDialog(documentWindows().Station, ListView3, m_parking, asNew, before);
    if (!row)
        return;
    setModified();
    pushLedgerStep(m_parking, ListView3, Stationnement, *row, before, std::optional(m_parking->entry(*row)));
}

void TMDIChild::commitEdits()
{
    ListView3->commitOpenEditor();
}

void TMDIChild::Supprime()
{
    commitEdits();
    commitFieldStep();
    auto remove = [this](TLedgerView *view, auto *model) {
        const int row = view->selectedEntry();
        if (row < 0)
            return false;
        const auto entry = model->entry(row);
        model->remove(row);
        // With nothing selected, the next double-click adds an entry rather than changing the
        // one that moved into the deleted row's place.
        view->clearSelection();
        setModified();
        pushLedgerStep(model, view, currentPage(), row, std::optional(entry),
                       decltype(std::optional(entry))());
        return true;
    };
    switch (currentPage()) {
    case Carburant:
        if (remove(ListView1, m_fuel))
            recalc(5);
        break;
    case Garage: remove(ListView2, m_garage); break;
    case Stationnement: remove(ListView3, m_parking); break;
    default: setModified(); break;
    }
}

// ---- Comment ------------------------------------------------------------------------------

void TMDIChild::Couper()
{
    if (currentPage() != Commentaire)
        return;
    commitFieldStep();
    Memo1->cut();
    commitFieldStep(QStringLiteral("la coupe dans le commentaire"));
}

void TMDIChild::Copier()
{
    if (currentPage() == Commentaire)
        Memo1->copy();
}

void TMDIChild::Coller()
{
    if (currentPage() != Commentaire)
        return;
    commitFieldStep();
    Memo1->paste();
    commitFieldStep(QStringLiteral("le collage dans le commentaire"));
}

bool TMDIChild::commentChanged() const
{
    return Memo1->document()->isModified();
}

void TMDIChild::foldCommentState()
{
    if (commentChanged())
        setModified();
}

void TMDIChild::syncComment()
{
    m_record.Memo1 = commentLines();
}

QStringList TMDIChild::commentLines() const
{
    // Lines are wrapped at the width the field shows. A field on a page not shown may not have
    // been laid out since the window last changed size: give it the size of the page shown,
    // then let it lay its viewport out. A window not on screen shows nothing: no wrapping.
    bool wrap = Memo1->isVisible();
    if (!wrap && PageControl1->isVisible() && PageControl1->currentWidget()) {
        QWidget *page = Memo1->parentWidget();
        page->setGeometry(PageControl1->currentWidget()->geometry());
        page->layout()->activate();
        QResizeEvent resize(Memo1->size(), Memo1->size());
        QCoreApplication::sendEvent(Memo1, &resize);
        wrap = true;
    }
    const QTextDocument *doc = Memo1->document();
    const qreal width = Memo1->viewport()->width() - 2 * doc->documentMargin();
    QStringList lines;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (text.isEmpty() || !wrap) {
            lines << text;
            continue;
        }
        QTextLayout layout(text, doc->defaultFont());
        layout.setTextOption(doc->defaultTextOption());
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << text.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// ---- Picture ------------------------------------------------------------------------------

void TMDIChild::showPicture()
{
    Image1->setScaledContents(m_stretch);
    Image1->setPixmap(m_picture.isNull() ? QPixmap() : QPixmap::fromImage(m_picture));
    if (const QString missing = missingPicture(); !missing.isEmpty())
        Image1->setText(QStringLiteral("Image introuvable : %1").arg(missing));
}

QString TMDIChild::missingPicture() const
{
    return m_picture.isNull() ? m_record.Image1 : QString();
}

void TMDIChild::lookForMissingPicture()
{
    const QString name = missingPicture();
    if (name.isEmpty())
        return;
    QStringList places{QDir::current().filePath(name)};
    if (!m_record.fileName.isEmpty())
        places << QFileInfo(m_record.fileName).absoluteDir().filePath(name);
    for (const QString &place : std::as_const(places)) {
        if (!filestate::isReadableRegular(place))
            continue;
        const platform::PictureResult loaded = platform::loadPicture(place);
        if (!loaded.ok())
            continue;
        // Found again: shown, as a load would have shown it; the document itself is unchanged.
        m_picture = loaded.image;
        m_pictureFile = QFileInfo(place).absoluteFilePath();
        m_stretch = m_stretch || m_picture.width() > kPictureWidth;
        m_base.picture = m_picture;
        m_base.pictureFile = m_pictureFile;
        m_base.stretch = m_stretch;
        showPicture();
        return;
    }
}

void TMDIChild::Button1Click()
{
    commitFieldStep();
    // Whatever the choice changed (the name even when the picture is not there) is one step.
    const auto step = qScopeGuard([this] { commitFieldStep(QStringLiteral("le changement d'image")); });
    const QString chosen = platform::FileDialogs::getOpenFileName(this, kPictureFilter);
    if (!chosen.isEmpty()) {
        // Only the bare name is kept: the picture is looked up in the current directory.
        const QString name = QFileInfo(chosen).fileName();
        m_record.Image1 = name;
        m_pictureFile.clear();
        const QString local = QDir::current().filePath(name);
        // A FIFO or a device would keep the program waiting for ever: only a regular file is read.
        if (!filestate::isReadableRegular(local) && QFileInfo::exists(local)) {
            platform::Messages::error(this, QStringLiteral("Ne peut ouvrir le fichier %1").arg(local));
            return;
        }
        if (!QFileInfo(local).isFile()) {
            platform::Messages::information(this, QStringLiteral("Il faut recopier l'image dans le répertoire courant"));
            return;
        }
        const platform::PictureResult loaded = platform::loadPicture(name);
        if (!loaded.ok()) {
            platform::Messages::error(this, loaded.error);
            return;
        }
        m_picture = loaded.image;
        m_pictureFile = QDir::current().absoluteFilePath(name);
    }
    if (m_picture.width() > kPictureWidth)
        m_stretch = true;
    showPicture();
    setModified();
}

void TMDIChild::setModified()
{
    m_record.modified = true;
    emit documentChanged();
}

// ---- File ---------------------------------------------------------------------------------

bool TMDIChild::SaveAs()
{
    const QString name = platform::FileDialogs::getSaveFileName(this, kVehicleFilter, {}, {}, true,
                                                                &vtrfile::withVtrExtension);
    if (name.isEmpty())
        return false;
    m_record.fileName = name;
    setModified();
    setWindowTitle(QFileInfo(name).fileName());
    return true;
}

bool TMDIChild::Sauve(int mode)
{
    commitEdits();
    commitFieldStep();
    foldCommentState();
    // "Enregistrer sous..." always writes: a copy of an unchanged document is still a copy.
    if (!m_record.modified && mode != 1)
        return true;
    bool askName = m_record.fileName.isEmpty() || mode == 1 || m_partialState != Partial::None;
    if (!askName) {
        switch (checkOutsideChange(vtrfile::withVtrExtension(m_record.fileName))) {
        case Overwrite::Go: break;
        case Overwrite::AskName: askName = true; break;
        case Overwrite::Stop: return false;
        }
    }
    if (askName && !SaveAs())
        return false;
    m_record.fileName = vtrfile::withVtrExtension(m_record.fileName);
    syncComment();
    const vtrfile::SaveResult saved = vtrfile::save(m_record, m_record.fileName);
    if (!saved.ok) {
        platform::Messages::error(this, saved.error);
        return false;
    }
    m_identity = saved.identity;
    m_record.modified = false;
    Memo1->document()->setModified(false);
    setPartial(Partial::None);
    keepPictureBeside(m_record.fileName);
    markSaved();
    emit documentChanged();
    return true;
}

// Only the picture's name is stored, and it is looked up beside the vehicle file when that is
// opened again: a document saved into another folder takes a copy of its picture along, so that
// the picture and its name are still there next time. A file of that name already there is the
// user's and stays as it is.
void TMDIChild::keepPictureBeside(const QString &vehicleFile)
{
    if (m_record.Image1.isEmpty() || m_pictureFile.isEmpty())
        return;
    const QFileInfo source(m_pictureFile);
    const QDir folder = QFileInfo(vehicleFile).absoluteDir();
    if (!source.isFile() || source.fileName() != m_record.Image1 || folder == source.absoluteDir())
        return;
    const QString copy = folder.absoluteFilePath(m_record.Image1);
    if (QFileInfo::exists(copy) || QFile::copy(m_pictureFile, copy))
        m_pictureFile = copy;
}

TMDIChild::Overwrite TMDIChild::checkOutsideChange(const QString &target)
{
    // A name chosen in the save dialog was asked about there; a file deleted meanwhile holds
    // nothing to lose.
    if (!m_identity.known || m_identity.path != target)
        return Overwrite::Go;
    filestate::Identity now;
    switch (filestate::compare(m_identity, &now)) {
    case filestate::Outside::Gone: return Overwrite::Go;
    case filestate::Outside::Same:
        if (now.known)
            m_identity = now;
        return Overwrite::Go;
    case filestate::Outside::Changed: break;
    }
    const QString question =
        QStringLiteral("Le fichier %1 a été modifié par ailleurs depuis son ouverture.\nLe remplacer quand même ?")
            .arg(target);
    // Enter must never replace someone else's work.
    switch (platform::Messages::askYesNoCancel(this, question, platform::Messages::Cancel)) {
    case platform::Messages::Yes: return Overwrite::Go;
    case platform::Messages::No: return Overwrite::AskName;
    default: return Overwrite::Stop;
    }
}

void TMDIChild::setPartial(Partial partial)
{
    m_partialState = partial;
    if (partial == Partial::NotVehicle)
        m_partialNote->setText(QStringLiteral("Ce fichier n'est pas un fichier voiture : enregistrez sous un autre nom."));
    else if (partial == Partial::Incomplete)
        m_partialNote->setText(
            QStringLiteral("Chargement incomplet : enregistrez sous un autre nom pour garder le fichier d'origine."));
    m_partialNote->setVisible(partial != Partial::None);
}

void TMDIChild::charge(const QString &path)
{
    m_record.fileName = path;
    showPage(Description);

    vtrfile::PictureHook pictures;
    // A name whose file is missing stays the document's: it is saved again, and the picture
    // shows once it is found (lookForMissingPicture).
    pictures.exists = [](const QString &) { return true; };
    pictures.load = [this](const QString &name) {
        if (!QFileInfo(name).isFile())
            return QString();
        const platform::PictureResult loaded = platform::loadPicture(name);
        if (!loaded.ok())
            return loaded.error;
        m_picture = loaded.image;
        m_pictureFile = QFileInfo(name).absoluteFilePath();
        showPicture();
        return QString();
    };

    m_fuel->beginReload();
    m_garage->beginReload();
    m_parking->beginReload();
    const vtrfile::LoadResult loaded = vtrfile::load(m_record, path, pictures, vtrfile::Opening::RegularOnly);
    if (loaded.ok)
        computeAll(m_record);
    m_fuel->endReload();
    m_garage->endReload();
    m_parking->endReload();
    showRecord();
    showPicture();
    m_identity = loaded.identity.known ? loaded.identity : filestate::absent(path);
    if (!loaded.ok) {
        // Nothing of a file that is not there can be lost by saving under its name.
        if (QFileInfo::exists(path) || QFileInfo(path).isSymLink())
            m_identity = filestate::Identity();
        setPartial(QFileInfo::exists(path) ? Partial::Incomplete : Partial::None);
        markSaved(true);
        platform::Messages::error(this, loaded.error);
        return;
    }
    // Bytes without a single section: saving would replace them with an empty record.
    if (loaded.noSection)
        setPartial(Partial::NotVehicle);
    m_record.modified = false;
    markSaved(true);
    m_due->announce();
    if (m_frame)
        m_frame->SetExport(false);
}

void TMDIChild::setRecord(const VehicleRecord &record)
{
    m_fuel->beginReload();
    m_garage->beginReload();
    m_parking->beginReload();
    m_record = record;
    m_pictureFile.clear();
    m_fuel->endReload();
    m_garage->endReload();
    m_parking->endReload();
    showRecord();
    setPartial(Partial::None);
    m_due->announce();
    markSaved(true);
    emit documentChanged();
}

VehicleRecord TMDIChild::recoverySnapshot() const
{
    VehicleRecord copy = recoveryFields();
    copy.ListView1 = m_record.ListView1;
    copy.ListView2 = m_record.ListView2;
    copy.ListView3 = m_record.ListView3;
    return copy;
}

VehicleRecord TMDIChild::recoveryFields() const
{
    VehicleRecord copy;
    copy.edit = m_record.edit;
    copy.DateTimePicker1 = m_record.DateTimePicker1;
    copy.DateTimePicker2 = m_record.DateTimePicker2;
    copy.DateTimePicker3 = m_record.DateTimePicker3;
    copy.ComboBox1 = m_record.ComboBox1;
    copy.Memo1 = Memo1->toPlainText().split(QLatin1Char('\n'));
    copy.Image1 = m_record.Image1;
    copy.fileName = m_record.fileName;
    copy.modified = true;
    return copy;
}

void TMDIChild::restore(const VehicleRecord &record, const filestate::Identity &identity, Partial partial,
                        const QString &pictureFolder)
{
    VehicleRecord computed = record;
    computeAll(computed);
    setRecord(computed);
    m_identity = identity;
    setPartial(partial);
    if (!m_record.Image1.isEmpty()) {
        const QString file = QDir(pictureFolder).filePath(m_record.Image1);
        if (filestate::isReadableRegular(file)) {
            const platform::PictureResult loaded = platform::loadPicture(file);
            if (loaded.ok()) {
                m_picture = loaded.image;
                m_pictureFile = QFileInfo(file).absoluteFilePath();
                m_stretch = m_picture.width() > kPictureWidth;
                showPicture();
            }
        }
    }
    m_record.modified = true;
    markSaved(true);
    emit documentChanged();
}

void TMDIChild::Exporte(const QString &path)
{
    commitEdits();
    tabexport::Ledger ledger = tabexport::Ledger::None;
    switch (currentPage()) {
    case Carburant: ledger = tabexport::Ledger::Fuel; break;
    case Garage: ledger = tabexport::Ledger::Garage; break;
    case Stationnement: ledger = tabexport::Ledger::Parking; break;
    default: break;
    }
    const tabexport::Result exported = tabexport::exportToFile(m_record, ledger, path);
    if (!exported.ok)
        platform::Messages::error(this, exported.error);
}

// ---- Closing ------------------------------------------------------------------------------

bool TMDIChild::FormCloseQuery()
{
    commitEdits();
    foldCommentState();
    if (!m_record.modified)
        return true;
    const QString question = QStringLiteral("Enregistrer changements dans %1 ?").arg(QFileInfo(m_record.fileName).fileName());
    switch (platform::Messages::askYesNoCancel(this, question)) {
    case platform::Messages::Yes: return Sauve(0);
    case platform::Messages::No: return true;
    default: return false;
    }
}

void TMDIChild::closeEvent(QCloseEvent *event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}
