#pragma once
// Helpers of the document window tests: a frame that records what the window tells it, modal
// dialogs answered from a timer, and small file helpers.

#include "ui/document/documentframe.h"

#include <QString>
#include <QStringList>

#include <functional>

class QDialog;
class QWidget;

struct FakeFrame : DocumentFrame {
    QStringList calls;
    void SetSup(bool allowed) override { calls << QStringLiteral("SetSup(%1)").arg(allowed); }
    void SetExport(bool allowed) override { calls << QStringLiteral("SetExport(%1)").arg(allowed); }
};

namespace mdichildtest {

// Runs `act` on the next modal dialog once it is shown. Whatever `act` does, the dialog is closed
// afterwards (rejected if still open), so a failing test never hangs on it.
void onNextDialog(const std::function<void(QDialog *)> &act);

// Fills the named line edits of a dialog (Edit1, Edit2...) in order, then presses its button.
void fillAndPress(QDialog *dialog, const QStringList &texts, const QString &button);

// The texts of a dialog's date picker (dd/MM/yyyy) and line edits Edit1..EditN.
QStringList dialogTexts(QDialog *dialog, int edits);

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// A picture of the given width as a BMP file.
void writePicture(const QString &path, int width, int height);

} // namespace mdichildtest
