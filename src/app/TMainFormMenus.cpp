// The menu bar and the tool bar of the main frame.
#include "app/TMainForm.h"

#include "app/toolpictures.h"
#include "ui/document/TMDIChild.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>

namespace {
QString key(const char *name)
{
    return QString::fromLatin1(name);
}
} // namespace

QMenu *TMainForm::addMenu(const char *name, const QString &caption, const QString &hint, int helpContext)
{
    QMenu *menu = MainMenu1->addMenu(caption);
    menu->setObjectName(key(name));
    menu->menuAction()->setObjectName(key(name));
    menu->setStatusTip(hint);
    menu->menuAction()->setStatusTip(hint);
    menu->setProperty("helpContext", helpContext);
    menu->setFont(font());
    menu->installEventFilter(this);
    // Leaving the menu leaves nothing highlighted: the hint goes.
    connect(menu, &QMenu::aboutToHide, this, [this] { DisplayHint(QString()); });
    connect(menu, &QMenu::hovered, this, [this](QAction *a) { DisplayHint(a->statusTip()); });
    return menu;
}

QAction *TMainForm::addItem(QMenu *menu, const char *name, const QString &caption, const QString &hint,
                            void (TMainForm::*command)())
{
    QAction *a = menu->addAction(caption);
    a->setObjectName(key(name));
    a->setStatusTip(hint);
    if (command)
        connect(a, &QAction::triggered, this,
                [this, command] { runCommand([this, command] { (this->*command)(); }); });
    return a;
}

void TMainForm::buildMenus()
{
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    // A desktop-wide menu bar would bypass the hints and the F1 topics of the menus.
    MainMenu1->setNativeMenuBar(false);
    MainMenu1->installEventFilter(this);
    setMenuBar(MainMenu1);

    auto separator = [](QMenu *menu, const char *name) {
        QAction *s = menu->addSeparator();
        s->setObjectName(key(name));
        return s;
    };

    File1 = addMenu("File1", QStringLiteral("&Fichier"), QStringLiteral("Commandes liées aux menus"), 3);
    FileNewItem = addItem(File1, "FileNewItem", QStringLiteral("&Nouveau"),
                          QStringLiteral("Créer un nouveau fichier"), &TMainForm::FileNewItemClick);
    FileOpenItem = addItem(File1, "FileOpenItem", QStringLiteral("&Ouvrir..."),
                           QStringLiteral("Ouvrir un fichier existant"), &TMainForm::FileOpenItemClick);
    FileOpenItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    FileCloseItem = addItem(File1, "FileCloseItem", QStringLiteral("&Fermer"),
                            QStringLiteral("Fermer fichier en cours"), &TMainForm::FileCloseItemClick);
    N2 = separator(File1, "N2");
    FileSaveItem = addItem(File1, "FileSaveItem", QStringLiteral("&Enregistrer"),
                           QStringLiteral("Enregistrer le fichier en cours"), &TMainForm::FileSaveItemClick);
    FileSaveItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    FileSaveAsItem =
        addItem(File1, "FileSaveAsItem", QStringLiteral("Enregistrer &sous..."),
                QStringLiteral("Enregistrer le fichier en cours sous..."), &TMainForm::FileSaveAsItemClick);
    Exporter1 = addItem(File1, "Exporter1", QStringLiteral("E&xporter..."),
                        QStringLiteral("Exporte l'onglet"), &TMainForm::Exporter1Click);
    Exporter1->setEnabled(false);
    Importer1 =
        addItem(File1, "Importer1", QStringLiteral("&Importer..."),
                QStringLiteral("Importe l'historique d'une autre application"), &TMainForm::Importer1Click);
    // Its topic is its own, not the menu's: importing needs more explaining than one line.
    Importer1->setProperty("helpContext", kImportHelpContext);
    N1 = separator(File1, "N1");
    PrintPreviewItem = addItem(File1, "PrintPreviewItem", QStringLiteral("Aperçu a&vant impression"),
                               QStringLiteral("Aperçu du bilan du véhicule"), &TMainForm::PrintPreviewItemClick);
    PrintItem = addItem(File1, "PrintItem", QStringLiteral("Im&primer..."),
                        QStringLiteral("Imprimer le bilan du véhicule"), &TMainForm::PrintItemClick);
    PrintItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    PdfItem = addItem(File1, "PdfItem", QStringLiteral("Exporter au format P&DF..."),
                      QStringLiteral("Enregistrer le bilan du véhicule au format PDF"), &TMainForm::PdfItemClick);
    PrintSeparator = separator(File1, "PrintSeparator");
    FileExitItem = addItem(File1, "FileExitItem", QStringLiteral("&Quitter"),
                           QStringLiteral("Quitter l'application"), &TMainForm::FileExitItemClick);

    Edit1 = addMenu("Edit1", QStringLiteral("&Edition"), QString(), 4);
    UndoItem =
        addItem(Edit1, "UndoItem", QStringLiteral("&Annuler"),
                QStringLiteral("Annuler la dernière modification du document"), &TMainForm::UndoItemClick);
    UndoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    RedoItem =
        addItem(Edit1, "RedoItem", QString::fromUtf16(u"&Rétablir"),
                QString::fromUtf16(u"Rétablir la dernière modification annulée"), &TMainForm::RedoItemClick);
    RedoItem->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    for (QAction *a : {UndoItem, RedoItem})
        a->setEnabled(false);
    N5 = separator(Edit1, "N5");
    // What is being typed into a field becomes a step before the menu names the next one.
    connect(Edit1, &QMenu::aboutToShow, this, [this] {
        if (TMDIChild *c = activeChild())
            c->commitFieldStep();
    });
    CutItem = addItem(Edit1, "CutItem", QStringLiteral("&Couper"),
                      QStringLiteral("Couper dans le Presse-papiers"), &TMainForm::CutItemClick);
    CopyItem = addItem(Edit1, "CopyItem", QStringLiteral("Co&pier"),
                       QStringLiteral("Copier dans le Presse-papiers"), &TMainForm::CopyItemClick);
    CopyItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    PasteItem = addItem(Edit1, "PasteItem", QStringLiteral("C&oller"),
                        QStringLiteral("Coller depuis le Presse-papiers"), &TMainForm::PasteItemClick);
    PasteItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    for (QAction *a : {CutItem, CopyItem, PasteItem})
        a->setEnabled(false);
    N3 = separator(Edit1, "N3");
    Supprimercriture1 = addItem(Edit1, "Supprimercriture1", QStringLiteral("&Supprimer écriture"),
                                QStringLiteral("Supprimer l'écriture"), &TMainForm::Supprimercriture1Click);

    Rsultat1 = addMenu("Rsultat1", QStringLiteral("&Résultat"), QString(), 5);
    Statistiques1 = addItem(Rsultat1, "Statistiques1", QStringLiteral("&Statistiques"),
                            QStringLiteral("Statistiques"), &TMainForm::Statistiques1Click);
    Statistiques1->setShortcut(QKeySequence(Qt::Key_F9));
    Graphique1 = addItem(Rsultat1, "Graphique1", QStringLiteral("&Graphique"), QStringLiteral("Graphique"),
                         &TMainForm::Graphique1Click);

    Utilitaires1 = addMenu("Utilitaires1", QStringLiteral("&Utilitaires"), QString(), 6);
    Calendrier1 = addItem(Utilitaires1, "Calendrier1", QStringLiteral("&Calendrier"),
                          QStringLiteral("Calendrier"), &TMainForm::Calendrier1Click);
    Calculatrice1 = addItem(Utilitaires1, "Calculatrice1", QStringLiteral("C&alculatrice"),
                            QStringLiteral("Calculatrice"), &TMainForm::Calculatrice1Click);
    Horloge1 = addItem(Utilitaires1, "Horloge1", QStringLiteral("&Horloge"), QStringLiteral("Horloge"),
                       &TMainForm::Horloge1Click);
    EuroConversion1 = addItem(Utilitaires1, "EuroConversion1", QStringLiteral("&Euro Conversion"),
                              QStringLiteral("Convertisseur euro"), &TMainForm::EuroConversion1Click);

    Window1 = addMenu("Window1", QStringLiteral("Fe&nêtre"),
                      QStringLiteral("Commandes de fenêtres telles que Mosaïque et Cascade"), 7);
    WindowCascadeItem = addItem(Window1, "WindowCascadeItem", QStringLiteral("&Cascade"),
                                QStringLiteral("Disposer les fenêtre de façon qu'elles se recouvrent"),
                                &TMainForm::WindowCascadeItemClick);
    WindowTileItem =
        addItem(Window1, "WindowTileItem", QStringLiteral("&Mosaïque"),
                QStringLiteral("Disposer les fenêtre sans recouvrement"), &TMainForm::WindowTileItemClick);
    WindowArrangeItem = addItem(Window1, "WindowArrangeItem", QStringLiteral("&Réorganiser les icônes"),
                                QStringLiteral("Disposer les icônes en bas de la fenêtre principale"),
                                &TMainForm::WindowArrangeItemClick);
    WindowMinimizeItem =
        addItem(Window1, "WindowMinimizeItem", QStringLiteral("&Tout réduire"),
                QStringLiteral("Réduire toutes les fenêtres"), &TMainForm::WindowMinimizeItemClick);
    connect(Window1, &QMenu::aboutToShow, this, &TMainForm::fillWindowList);

    Help1 = addMenu("Help1", QStringLiteral("&Aide"), QStringLiteral("Rubriques d'aide"), 8);
    Sommaire1 = addItem(Help1, "Sommaire1", QStringLiteral("&Sommaire"), QStringLiteral("Sommaire de l'aide"),
                        &TMainForm::HContents);
    Rechercher1 = addItem(Help1, "Rechercher1", QStringLiteral("&Rechercher..."),
                          QStringLiteral("Rechercher"), &TMainForm::HSearch);
    Utiliserlaide1 = addItem(Help1, "Utiliserlaide1", QStringLiteral("&Utiliser l'aide"),
                             QStringLiteral("Utiliser l'aide"), &TMainForm::HowToUse);
    N4 = separator(Help1, "N4");
    HelpAboutItem =
        addItem(Help1, "HelpAboutItem", QStringLiteral("&A propos"),
                QStringLiteral("Informations sur le logiciel, la version"), &TMainForm::HelpAboutItemClick);
}

QToolButton *TMainForm::addButton(const char *name, int left, const QString &hint, const QString &picture,
                                  int size, void (TMainForm::*command)())
{
    auto *b = new QToolButton(SpeedPanel);
    b->setObjectName(key(name));
    b->setAutoRaise(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->setGeometry(left, 4, 25, 25);
    b->setIconSize(QSize(size, size));
    b->setIcon(toolpictures::icon(picture, size));
    b->setToolTip(hint);
    b->setStatusTip(hint);
    // A picture alone says nothing to a screen reader: the button is named by its hint.
    b->setAccessibleName(hint);
    connect(b, &QToolButton::clicked, this,
            [this, command] { runCommand([this, command] { (this->*command)(); }); });
    return b;
}

void TMainForm::buildToolBar()
{
    SpeedButton1 = addButton("SpeedButton1", 6, QStringLiteral("Nouveau"), QStringLiteral("new"), 16,
                             &TMainForm::FileNewItemClick);
    OpenBtn = addButton("OpenBtn", 31, QStringLiteral("Ouvrir"), QStringLiteral("open"), 16,
                        &TMainForm::FileOpenItemClick);
    SaveBtn = addButton("SaveBtn", 56, QStringLiteral("Enregistrer"), QStringLiteral("save"), 20,
                        &TMainForm::FileSaveItemClick);
    CutBtn = addButton("CutBtn", 87, QStringLiteral("Couper"), QStringLiteral("cut"), 20,
                       &TMainForm::CutItemClick);
    CopyBtn = addButton("CopyBtn", 112, QStringLiteral("Copier"), QStringLiteral("copy"), 20,
                        &TMainForm::CopyItemClick);
    PasteBtn = addButton("PasteBtn", 137, QStringLiteral("Coller"), QStringLiteral("paste"), 20,
                         &TMainForm::PasteItemClick);
    SpeedButton2 = addButton("SpeedButton2", 169, QStringLiteral("Supprimer"), QStringLiteral("delete"), 16,
                             &TMainForm::Supprimercriture1Click);
    SpeedButton3 = addButton("SpeedButton3", 210, QStringLiteral("Statistiques"),
                             QStringLiteral("statistics"), 16, &TMainForm::Statistiques1Click);
    SpeedButton4 = addButton("SpeedButton4", 235, QStringLiteral("Graphique"), QStringLiteral("chart"), 16,
                             &TMainForm::Graphique1Click);
}
