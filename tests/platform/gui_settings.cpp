// The settings file: the recent-file list rules, values a hand may have spoiled, and the real
// file dialogs, which open in the folder last chosen and leave no settings file of Qt's own.
#include "guitest.h"
#include "platform/filedialogs.h"
#include "platform/settings.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using platform::FileDialogs;
using platform::Settings;

namespace {
// A home folder of the test's own, made before Qt reads where the user's settings go.
QTemporaryDir *g_home = nullptr;

QStringList filesUnder(const QString &dir)
{
    QStringList out;
    QDirIterator it(dir, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        out << QDir(dir).relativeFilePath(it.next());
    out.sort();
    return out;
}

// Chooses `name` in the real dialog that comes up next, or cancels it, and tells which folder it
// opened in.
void answerNextDialog(const QString &name, QString *openedIn)
{
    guitest::onNextModal([name, openedIn](QDialog *d) {
        auto *dialog = qobject_cast<QFileDialog *>(d);
        if (!dialog)
            return;
        *openedIn = dialog->directory().absolutePath();
        if (name.isEmpty())
            return; // onNextModal rejects it
        auto *field = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!field)
            return;
        field->setText(name);
        QTest::keyClick(field, Qt::Key_Return);
    });
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void init() { QFile::remove(Settings::fileName()); }

    void fileIsUnderTheConfigFolder()
    {
        QCOMPARE(Settings::fileName(), g_home->path() + QStringLiteral("/config/tevauto/tevauto.conf"));
    }

    // Paths are kept absolute and clean, so a file is one entry whatever name reached it;
    // commas and accents come back as they went in.
    void recentPathsAreNormalised()
    {
        QDir::setCurrent(QDir::rootPath());
        Settings::addRecentFile(QStringLiteral("/v/5.vtr"));
        Settings::addRecentFile(QStringLiteral("/v/Clio, Zoé.vtr"));
        Settings::addRecentFile(QStringLiteral("v/sous/../5.vtr"));
        QCOMPARE(Settings::recentFiles(),
                 (QStringList{QStringLiteral("/v/5.vtr"), QStringLiteral("/v/Clio, Zoé.vtr")}));
    }

    // A file edited by hand: a list longer than eight, duplicates and empty names are tidied;
    // widths that do not fit the columns are not used.
    void handEditedValues()
    {
        {
            QSettings s(Settings::fileName(), QSettings::IniFormat);
            QStringList many{QStringLiteral("/a.vtr"), QString(), QStringLiteral("/a.vtr")};
            for (int i = 0; i < 12; ++i)
                many << QStringLiteral("/x%1.vtr").arg(i);
            s.setValue(QStringLiteral("Recents/fichiers"), many);
            s.setValue(QStringLiteral("Colonnes/L1"),
                       QStringList{QStringLiteral("80"), QStringLiteral("large")});
            s.setValue(QStringLiteral("Colonnes/L2"), QStringList{QStringLiteral("80"), QStringLiteral("0")});
            s.setValue(QStringLiteral("Colonnes/L3"),
                       QStringList{QStringLiteral("80"), QStringLiteral("120")});
        }
        const QStringList recent = Settings::recentFiles();
        QCOMPARE(recent.size(), Settings::kRecentCount);
        QCOMPARE(recent.constFirst(), QStringLiteral("/a.vtr"));
        QCOMPARE(recent.count(QStringLiteral("/a.vtr")), 1);
        QCOMPARE(Settings::widths(QStringLiteral("Colonnes/L1"), 2), QList<int>());
        QCOMPARE(Settings::widths(QStringLiteral("Colonnes/L2"), 2), QList<int>());
        QCOMPARE(Settings::widths(QStringLiteral("Colonnes/L3"), 3), QList<int>());
        QCOMPARE(Settings::widths(QStringLiteral("Colonnes/L3"), 2), (QList<int>{80, 120}));
    }

    // Every kind of file dialog, for real: each opens in the folder chosen last (also by another
    // kind), and none leaves a settings file other than ours.
    void realDialogsUseOurFolderAndNoOtherFile()
    {
        FileDialogs::setTestMode(false);
        QTemporaryDir first;
        QTemporaryDir second;
        const QString vehicle = first.filePath(QStringLiteral("clio.vtr"));
        QFile f(vehicle);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        const QString csv = second.filePath(QStringLiteral("export.csv"));
        QFile c(csv);
        QVERIFY(c.open(QIODevice::WriteOnly));
        c.close();
        QDir::setCurrent(g_home->path());

        QString openedIn;
        answerNextDialog(vehicle, &openedIn);
        QCOMPARE(FileDialogs::getOpenFileName(nullptr, QStringLiteral("Fichiers voiture (*.vtr)|*.vtr")),
                 vehicle);
        QCOMPARE(openedIn, g_home->path()); // nothing remembered yet: the current folder

        answerNextDialog(csv, &openedIn);
        QCOMPARE(FileDialogs::getImportFileName(nullptr, QStringLiteral("Fichiers CSV (*.csv)|*.csv")), csv);
        QCOMPARE(openedIn, first.path());

        const QString text = second.filePath(QStringLiteral("liste.txt"));
        answerNextDialog(text, &openedIn);
        QCOMPARE(FileDialogs::getSaveFileName(nullptr, QStringLiteral("Texte + tabulations (*.txt)|*.txt"),
                                              QStringLiteral("txt"), {}, false),
                 text);
        QCOMPARE(openedIn, second.path());

        // Cancelled: nothing chosen, the folder stays.
        answerNextDialog(QString(), &openedIn);
        QCOMPARE(FileDialogs::getSaveFileName(nullptr, QStringLiteral("Fichiers voiture (*.vtr)|*.vtr")),
                 QString());
        QCOMPARE(openedIn, second.path());

        // The next run (the current folder is elsewhere) starts where this one ended.
        QDir::setCurrent(QDir::rootPath());
        answerNextDialog(QString(), &openedIn);
        FileDialogs::getOpenFileName(nullptr, QStringLiteral("Fichiers voiture (*.vtr)|*.vtr"));
        QCOMPARE(openedIn, second.path());

        QCOMPARE(filesUnder(g_home->path()), QStringList{QStringLiteral("config/tevauto/tevauto.conf")});
        FileDialogs::setTestMode(true);
    }
};

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    g_home = &home;
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.path() + QStringLiteral("/config")));
    QApplication app(argc, argv);
    SettingsTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "gui_settings.moc"
