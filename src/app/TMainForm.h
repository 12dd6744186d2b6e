#pragma once
// The main frame: menu bar, tool bar, MDI client area, status bar. Its commands act on the
// active document window; the enabling rules live in UpdateMenuItems.

#include "ui/document/documentframe.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>

class QAction;
class QFrame;
class QLocale;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QMenuBar;
class QSize;
class QTime;
class QTimer;
class QUndoGroup;
class QToolButton;
class StatusPanels;
class TMDIChild;
namespace vehiclereport {
struct Content;
}

class TMainForm : public QMainWindow, public DocumentFrame {
    Q_OBJECT
public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Creates a document window with this caption in the client area, shows it (which makes it
    // the active window) and clears the delete-allowed flag.
    TMDIChild *CreateChild(const QString &caption);
    // What Open does once a file is chosen: a window captioned with the path, then charge.
    void openDocument(const QString &path);
    // The document window holding this vehicle file, or null.
    TMDIChild *findDocument(const QString &path) const;
    // Brings a document window to the front of the client area.
    void activateDocument(TMDIChild *doc);
    QMdiArea *mdiArea() const { return m_mdi; }

    void SetSup(bool allowed) override;
    void SetExport(bool allowed) override;

    // The document window the commands act on (the area's current one), or null.
    TMDIChild *activeChild() const;
    int documentCount() const;
    bool deleteAllowed() const { return m_deleteAllowed; }
    QString startDirectory() const { return m_startDir; }

    // The time as the locale writes it in its long format, without a time-zone name.
    static QString clockText(const QTime &time, const QLocale &locale);

    // Runs a command; a failure it does not handle itself goes to the standard error box and the
    // application goes on.
    void runCommand(const std::function<void()> &command);

    // Help topic of "&Importer..." (the menus have 3 to 8).
    static constexpr int kImportHelpContext = 9;

    // Menu bar MainMenu1.
    QMenuBar *MainMenu1;
    QMenu *File1, *Edit1, *Rsultat1, *Utilitaires1, *Window1, *Help1;
    QAction *FileNewItem, *FileOpenItem, *FileCloseItem, *N2, *FileSaveItem, *FileSaveAsItem, *Exporter1, *Importer1, *N1,
        *FileExitItem;
    // The report "Bilan du véhicule", between "&Importer..." and "&Quitter".
    QAction *PrintPreviewItem, *PrintItem, *PdfItem, *PrintSeparator;
    QAction *UndoItem, *RedoItem, *N5, *CutItem, *CopyItem, *PasteItem, *N3, *Supprimercriture1;
    QAction *Statistiques1, *Graphique1;
    QAction *Calendrier1, *Calculatrice1, *Horloge1, *EuroConversion1;
    QAction *WindowCascadeItem, *WindowTileItem, *WindowArrangeItem, *WindowMinimizeItem;
    QAction *Sommaire1, *Rechercher1, *Utiliserlaide1, *N4, *HelpAboutItem;
    // "Fichiers &récents", under "&Ouvrir...".
    QAction *RecentItem;
    QMenu *RecentMenu;

    // Tool bar.
    QFrame *SpeedPanel;
    QToolButton *SpeedButton1, *OpenBtn, *SaveBtn, *CutBtn, *CopyBtn, *PasteBtn, *SpeedButton2, *SpeedButton3,
        *SpeedButton4;

    StatusPanels *StatusBar;
    QTimer *Timer1;

signals:
    // A document window was made (by New, Open, Import or a recovery), before it is filled.
    void documentCreated(TMDIChild *child);

public slots:
    void UpdateMenuItems();
    void DisplayHint(const QString &hint);
    void Timer1Timer();

    void FileNewItemClick();
    void FileOpenItemClick();
    void FileCloseItemClick();
    void FileSaveItemClick();
    void FileSaveAsItemClick();
    void Exporter1Click();
    void Importer1Click();
    void PrintPreviewItemClick();
    void PrintItemClick();
    void PdfItemClick();
    void FileExitItemClick();
    void UndoItemClick();
    void RedoItemClick();
    void CutItemClick();
    void CopyItemClick();
    void PasteItemClick();
    void Supprimercriture1Click();
    void Statistiques1Click();
    void Graphique1Click();
    void Calendrier1Click();
    void Calculatrice1Click();
    void Horloge1Click();
    void EuroConversion1Click();
    void WindowCascadeItemClick();
    void WindowTileItemClick();
    void WindowArrangeItemClick();
    void WindowMinimizeItemClick();
    void HContents();
    void HSearch();
    void HowToUse();
    void HelpAboutItemClick();

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;
    void showEvent(QShowEvent *e) override;
    void resizeEvent(QResizeEvent *e) override;
    void closeEvent(QCloseEvent *e) override;

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    void FormClose();
    void FormDestroy();

    // Built in TMainFormMenus.cpp.
    void buildMenus();
    void buildToolBar();
    QAction *addItem(QMenu *menu, const char *name, const QString &caption, const QString &hint,
                     void (TMainForm::*command)());
    QMenu *addMenu(const char *name, const QString &caption, const QString &hint, int helpContext);
    QToolButton *addButton(const char *name, int left, const QString &hint, const QString &picture, int size,
                           void (TMainForm::*command)());
    void fillWindowList();
    // "&Annuler" and "&Rétablir" name the active document's next step.
    void updateUndoItems();
    // "PATH", then "PATH:2"... for windows on the same file.
    QString captionFor(const QString &path) const;
    // Built in TMainFormReport.cpp: the report of the active document, after the year dialog;
    // false when there is no document or the dialog is cancelled.
    bool askReport(vehiclereport::Content &content);

    // Settings file: window state and recent files (TMainFormState.cpp).
    bool restoreWindowState();
    void keepWindowState();
    static QSize documentSize(const QSize &designed);
    void watchDocument(QMdiSubWindow *sub, TMDIChild *child);
    void buildRecentMenu();
    void fillRecentMenu();
    void openRecent(const QString &path);

    // Evaluates the rules when the area activates another document window than the last one.
    void documentActivated(QMdiSubWindow *sub);
    // A new, empty document as "&Nouveau" makes it.
    TMDIChild *newDocument();

    // Asks every document window whether it may close; false when one refuses.
    bool queryCloseDocuments();
    void showModalWindow(QWidget *window);

    QMdiArea *m_mdi;
    QUndoGroup *m_undoGroup;
    QList<QAction *> m_windowList;
    QList<QMetaObject::Connection> m_hooks;
    QObject *m_modalWatcher = nullptr;
    QPointer<QMdiSubWindow> m_activeDocument;
    QString m_startDir;
    bool m_deleteAllowed = false;
    bool m_shown = false;
    bool m_closing = false;
};
