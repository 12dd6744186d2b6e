#include "gui_mdichild_support.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace mdichildtest {
namespace {
void tryDialog(const std::function<void(QDialog *)> &act, int attemptsLeft)
{
    auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
    if (!dialog) {
        if (attemptsLeft > 0)
            QTimer::singleShot(10, qApp, [act, attemptsLeft] { tryDialog(act, attemptsLeft - 1); });
        return;
    }
    QPointer<QDialog> guard(dialog);
    act(dialog);
    if (guard && guard->isVisible())
        guard->reject();
}
} // namespace

void onNextDialog(const std::function<void(QDialog *)> &act)
{
    QTimer::singleShot(0, qApp, [act] { tryDialog(act, 200); });
}

void fillAndPress(QDialog *dialog, const QStringList &texts, const QString &button)
{
    for (int i = 0; i < texts.size(); ++i)
        if (auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(i + 1)))
            edit->setText(texts[i]);
    if (auto *b = dialog->findChild<QPushButton *>(button))
        b->click();
}

QStringList dialogTexts(QDialog *dialog, int edits)
{
    QStringList texts;
    auto *date = dialog->findChild<QDateEdit *>(QStringLiteral("DateTimePicker1"));
    texts << (date ? date->date().toString(QStringLiteral("dd/MM/yyyy")) : QStringLiteral("?"));
    for (int i = 1; i <= edits; ++i) {
        auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("Edit%1").arg(i));
        texts << (edit ? edit->text() : QStringLiteral("?"));
    }
    return texts;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

void writePicture(const QString &path, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    image.save(path, "BMP");
}

} // namespace mdichildtest
