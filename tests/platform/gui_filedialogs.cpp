// The save dialog's overwrite question, on the real Qt dialog and in test mode.
#include "core/vehicle/vtrfile.h"
#include "platform/filedialogs.h"
#include "platform/messages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;
using platform::FileDialogs;
using platform::Messages;

namespace {

const QString kFilter = u"Fichier voiture (*.vtr)|*.vtr|Tous les fichiers (*.*)|*.*"_s;

void touch(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot create a test file");
}

// Types each name into the open save dialog's name field and presses Enter, in turn.
void typeIntoSaveDialog(const QStringList &names, int attemptsLeft = 300)
{
    QTimer::singleShot(10, qApp, [names, attemptsLeft] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (attemptsLeft > 0)
                typeIntoSaveDialog(names, attemptsLeft - 1);
            return;
        }
        QPointer<QFileDialog> guard(dialog);
        auto *field = dialog->findChild<QLineEdit *>(u"fileNameEdit"_s);
        for (const QString &name : names) {
            if (!guard || !field)
                return;
            field->setText(name);
            QTest::keyClick(field, Qt::Key_Return);
        }
        if (guard && guard->isVisible())
            guard->reject();
    });
}

} // namespace

class FileDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_dir.emplace();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        Messages::setTestMode(true);
    }
    void cleanup()
    {
        FileDialogs::setTestMode(false);
        Messages::setTestMode(false);
        QDir::setCurrent(QDir::tempPath());
        m_dir.reset();
    }

    void questionNamesTheFileWritten_data();
    void questionNamesTheFileWritten();
    void noGoesBackToTheDialog_data();
    void noGoesBackToTheDialog();
    void noQuestionWhenAskedNot();
    void refusesAFolderNamedInAnotherEncoding_data() { noGoesBackToTheDialog_data(); }
    void refusesAFolderNamedInAnotherEncoding();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    std::optional<QTemporaryDir> m_dir;
};

void FileDialogsTest::questionNamesTheFileWritten_data()
{
    QTest::addColumn<bool>("realDialog");
    QTest::addColumn<QStringList>("existing");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("question"); // empty: none
    const QString vtrExists = u"question: notes.vtr existe déjà.\nVoulez-vous le remplacer ?"_s;
    const QString autoExists = u"question: auto.vtr existe déjà.\nVoulez-vous le remplacer ?"_s;
    for (bool real : {true, false}) {
        const char *mode = real ? "dialog, " : "test mode, ";
        QTest::addRow("%sother extension exists", mode) << real << QStringList{u"notes.txt"_s} << u"notes.txt"_s << QString();
        QTest::addRow("%sfile written exists", mode)
            << real << QStringList{u"notes.txt"_s, u"notes.vtr"_s} << u"notes.txt"_s << vtrExists;
        QTest::addRow("%styped without extension", mode) << real << QStringList{u"auto.vtr"_s} << u"auto"_s << autoExists;
        QTest::addRow("%stown name exists", mode) << real << QStringList{u"auto.vtr"_s} << u"auto.vtr"_s << autoExists;
    }
}

void FileDialogsTest::questionNamesTheFileWritten()
{
    QFETCH(bool, realDialog);
    QFETCH(QStringList, existing);
    QFETCH(QString, typed);
    QFETCH(QString, question);
    for (const QString &name : existing)
        touch(path(name));
    Messages::setNextAnswer(Messages::Yes);
    if (realDialog)
        typeIntoSaveDialog({typed});
    FileDialogs::setTestMode(!realDialog);
    FileDialogs::setNextFileName(path(typed));
    const QString chosen =
        FileDialogs::getSaveFileName(nullptr, kFilter, {}, {}, true, &vtrfile::withVtrExtension);
    QCOMPARE(QFileInfo(chosen).fileName(), typed);
    QCOMPARE(Messages::shown(), question.isEmpty() ? QStringList() : QStringList{question});
}

void FileDialogsTest::noGoesBackToTheDialog_data()
{
    QTest::addColumn<bool>("realDialog");
    QTest::newRow("dialog") << true;
    QTest::newRow("test mode") << false;
}

void FileDialogsTest::noGoesBackToTheDialog()
{
    QFETCH(bool, realDialog);
    touch(path(u"auto.vtr"_s));
    Messages::setNextAnswer(Messages::No);
    if (realDialog)
        typeIntoSaveDialog({u"auto"_s, u"neuve"_s});
    FileDialogs::setTestMode(!realDialog);
    FileDialogs::setNextFileName(path(u"auto"_s));
    FileDialogs::setNextFileName(path(u"neuve"_s));
    const QString chosen =
        FileDialogs::getSaveFileName(nullptr, kFilter, {}, {}, true, &vtrfile::withVtrExtension);
    QCOMPARE(QFileInfo(chosen).fileName(), u"neuve"_s);
    QCOMPARE(Messages::shown().size(), 1);
    if (!realDialog)
        QCOMPARE(FileDialogs::asked(), QStringList{u"save: "_s + kFilter});
}

// The export replaces its file without a question, whatever exists.
void FileDialogsTest::noQuestionWhenAskedNot()
{
    touch(path(u"carburant.txt"_s));
    typeIntoSaveDialog({u"carburant"_s});
    const QString chosen = FileDialogs::getSaveFileName(nullptr, u"Texte + tabulations (*.txt)|*.txt"_s,
                                                        u"txt"_s, {}, false);
    QCOMPARE(QFileInfo(chosen).fileName(), u"carburant.txt"_s);
    QVERIFY(Messages::shown().isEmpty());
}

// The current folder's name was not UTF-8: Qt gives it with a replacement character, which
// would save into another folder. The dialog says so and stays open.
void FileDialogsTest::refusesAFolderNamedInAnotherEncoding()
{
    QFETCH(bool, realDialog);
    const QString lost = path(u"donn\ufffdes/auto"_s);
    if (realDialog)
        typeIntoSaveDialog({lost, u"neuve"_s});
    FileDialogs::setTestMode(!realDialog);
    FileDialogs::setNextFileName(lost);
    FileDialogs::setNextFileName(path(u"neuve"_s));
    const QString chosen =
        FileDialogs::getSaveFileName(nullptr, kFilter, {}, {}, true, &vtrfile::withVtrExtension);
    QCOMPARE(QFileInfo(chosen).fileName(), u"neuve"_s);
    QCOMPARE(Messages::shown(), QStringList{u"error: Nom de fichier illisible : "_s + lost
                                            + u" (il n'est pas en UTF-8)"_s});
}

QTEST_MAIN(FileDialogsTest)
#include "gui_filedialogs.moc"
