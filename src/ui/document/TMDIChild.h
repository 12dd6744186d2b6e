#pragma once
// The vehicle document window: one record shown on eight pages.

#include "core/vehicle/filestate.h"
#include "core/vehicle/record.h"

#include <QDate>
#include <QImage>
#include <QWidget>

#include <array>
#include <optional>

class DocumentFrame;
class QComboBox;
class TDueNotes;
class QDateEdit;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QUndoStack;
class TCommentEdit;
class TDatePicker;
class TLedgerView;
template <std::size_t N>
class LedgerModel;

class TMDIChild : public QWidget {
    Q_OBJECT
public:
    // The pages, in tab order.
    enum Page { Description, Carburant, Garage, Stationnement, FraisKm, Valeur, Commentaire, Image };

    explicit TMDIChild(DocumentFrame *frame, QWidget *parent = nullptr);
    ~TMDIChild() override;

    const VehicleRecord &record() const { return m_record; }
    bool isModified() const { return m_record.modified; }
    QString fileName() const { return m_record.fileName; }
    // The modified flag or a changed comment (which saving and closing fold into the flag).
    bool hasUnsavedChanges() const { return m_record.modified || commentChanged(); }

    // What the file was when this window read or last wrote it.
    const filestate::Identity &fileIdentity() const { return m_identity; }
    // A document whose file must not be saved over unasked: a load that stopped part-way, or a
    // file that is not a vehicle file. Its first save asks for a name.
    enum class Partial { None, Incomplete, NotVehicle };
    Partial partialState() const { return m_partialState; }

    // The record as a copy for crash recovery: what the fields show now, the comment as typed
    // (its paragraphs, not the lines the field wraps them into). recoveryFields() leaves the
    // three ledgers out, for a copy that takes them in pieces.
    VehicleRecord recoverySnapshot() const;
    VehicleRecord recoveryFields() const;
    // Counts the changes of the three ledgers: a copy taken in pieces tells whether it missed one.
    quint64 ledgerChanges() const { return m_ledgerChanges; }
    // Shows a recovered record as a document with unsaved changes, whose file is still the
    // one it was read from (`identity`); its picture is looked up in `pictureFolder`.
    void restore(const VehicleRecord &record, const filestate::Identity &identity, Partial partial,
                 const QString &pictureFolder);

    // Saves (mode 0: under the document's name, asking one only when it has none; mode 1: asks
    // first). True when the document is saved or had nothing to save; false when the user
    // cancelled the file dialog or the file could not be written (the error is shown).
    bool Sauve(int mode);
    // Asks for a file name; false when the user cancelled.
    bool SaveAs();
    void charge(const QString &path);
    // Shows a record made elsewhere (a tool, a test): every page and the computed fields as the
    // record holds them; the file name and the modified flag come with it.
    void setRecord(const VehicleRecord &record);
    void Supprime();
    void Couper();
    void Copier();
    void Coller();
    void Exporte(const QString &path);
    // Statistics and chart of this document (defined with the report windows).
    void Result();
    void Graphique();
    // The record as the printed report reads it: an in-place edit still open is taken in first.
    const VehicleRecord &reportRecord();

    // The five calculations; each shows its result in its grey field.
    void Calcul1() { recalc(1); }
    void Calcul2() { recalc(2); }
    void Calcul3() { recalc(3); }
    void Calcul4() { recalc(4); }
    void Calcul5() { recalc(5); }

    int currentPage() const;
    void showPage(int page);

    // The comment as the field shows it: one text per shown line, long paragraphs wrapped at
    // the field's width; an empty last line is left out.
    QStringList commentLines() const;
    // The comment has changes since it was last loaded or saved (folded into the modified flag
    // by saving and closing).
    bool commentChanged() const;

    // The picture shown on the page "Image", and whether it is stretched to the frame.
    QImage picture() const { return m_picture; }
    bool pictureStretched() const { return m_stretch; }

    // The alignment width of a number or computed field, by its number.
    static int alignmentWidth(int field);
    // The numbers of the fields with the key filter and the right-aligned form.
    static const std::array<int, 17> &numberFields();

    // Undo and redo (TMDIChildUndo.cpp). One stack per window; a field's typing becomes one step
    // when the field is left, or when commitFieldStep is called (before an undo, a save, a menu).
    QUndoStack *undoStack() const { return m_undo; }
    void commitFieldStep(const QString &what = QString());
    void Annule();
    void Retablit();

    // The picture named by the document but not found (its name is kept and saved), or empty.
    QString missingPicture() const;

    // The title as shown, with the unsaved-changes mark, on the window that holds this one.
    void showMark();

signals:
    // A change of the record, or of whether it has unsaved changes (a save).
    void documentChanged();

protected:
    void closeEvent(QCloseEvent *event) override; // runs FormCloseQuery
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Pages (TMDIChildPages.cpp).
    void buildPages();
    QWidget *buildDescription();
    QWidget *buildCarburant();
    QWidget *buildGarage();
    QWidget *buildStationnement();
    QWidget *buildFraisKm();
    QWidget *buildValeur();
    QWidget *buildCommentaire();
    QWidget *buildImage();
    QLineEdit *makeEdit(int field, QWidget *parent);
    QDateEdit *makeDatePicker(int number, QWidget *parent);
    void connectFields();
    // Keyboard and screen readers (TMDIChildKeys.cpp): page keys, tab tooltips, the names of
    // the controls no label names well.
    void setUpPageKeys();
    void nameControls();
    void keyToPage(int page);

    // Handlers.
    void PageControl1Change(int page);
    // A double-click (or Enter) on a ledger; `asNew` for the Insert key, which always adds.
    void ListView1DblClick(bool asNew = false);
    void ListView2DblClick(bool asNew = false);
    void ListView3DblClick(bool asNew = false);
    bool Edit4KeyPress(QLineEdit *edit, QKeyEvent *event);
    void numberExit(int field);
    void DateTimePicker1Change(int picker, const QDate &date);
    void Button1Click();
    bool FormCloseQuery();

    // Takes an in-place edit still open in a ledger into the record, before the record is read.
    void commitEdits();
    void recalc(int which);
    void showComputed(int field);
    void showRecord();
    void showPicture();
    void setModified();
    void setPartial(Partial partial);
    // Before Sauve writes over the file this window knows: whether someone changed it since.
    enum class Overwrite { Go, AskName, Stop };
    Overwrite checkOutsideChange(const QString &target);
    void keepPictureBeside(const QString &vehicleFile);
    void foldCommentState();
    void syncComment();
    QString rset(int field, const QString &text) const;

    // What a field step restores: every input of the pages but the ledgers (the computed fields
    // are computed again).
    struct FieldsState {
        std::array<QString, 27> edit;
        QDate date1, date2, date3;
        QString type;
        QString comment;
        QString image;
        QImage picture;
        QString pictureFile;
        bool stretch = false;
        bool operator==(const FieldsState &) const = default;
    };
    FieldsState fieldsState() const;
    void applyFields(const FieldsState &state);
    QString fieldStepText(const FieldsState &before, const FieldsState &after) const;
    // A ledger change already made, as a step: `before` and `after` are the entry at `row`
    // (none for an added or a deleted one).
    template <std::size_t N>
    void pushLedgerStep(LedgerModel<N> *model, TLedgerView *view, int page, int row,
                        const std::optional<LedgerEntry<N>> &before,
                        const std::optional<LedgerEntry<N>> &after, const QString &what = QString());
    // After an undo or a redo: saved state again, or changed.
    void afterUndoRedo();
    // The record as it stands is the one on disk (or, modified, a copy that never was): the
    // stack's clean state. `forget` empties the stack first (a new record).
    void markSaved(bool forget = false);
    void wireUndo();
    // A picture named but not found is looked for again beside the file and in the current folder.
    void lookForMissingPicture();

    DocumentFrame *m_frame;
    VehicleRecord m_record;

    QTabWidget *PageControl1 = nullptr;
    std::array<QLineEdit *, 27> m_edits{}; // by field number
    std::array<TDatePicker *, 4> m_pickers{}; // DateTimePicker1..3
    QComboBox *ComboBox1 = nullptr;
    TCommentEdit *Memo1 = nullptr;
    QLabel *Image1 = nullptr;
    QPushButton *Button1 = nullptr;
    TLedgerView *ListView1 = nullptr;
    TLedgerView *ListView2 = nullptr;
    TLedgerView *ListView3 = nullptr;
    LedgerModel<5> *m_fuel = nullptr;
    LedgerModel<4> *m_garage = nullptr;
    LedgerModel<3> *m_parking = nullptr;

    // A load that stopped part-way (the document holds only the start of its file) or a file
    // that is not a vehicle file: the next save asks for a name rather than replace that file.
    Partial m_partialState = Partial::None;
    QLabel *m_partialNote = nullptr;
    filestate::Identity m_identity;
    quint64 m_ledgerChanges = 0;

    TDueNotes *m_due = nullptr; // what is due: lines on "Garage", the bar at open

    QImage m_picture;
    QString m_pictureFile; // where the picture shown was read from (absolute), empty if none
    bool m_stretch = false;
    bool m_updating = false; // widgets being filled from the record: no change is the user's

    QUndoStack *m_undo = nullptr;
    FieldsState m_base;     // the fields as the last step left them
    bool m_pushing = false; // a step being pushed, or the clean state being set: no undo
};
