#include "guitest.h"

#include "platform/filedialogs.h"
#include "platform/messages.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTest>
#include <QTimer>

namespace guitest {

void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

void useSeams()
{
    platform::Messages::setTestMode(true);
    platform::FileDialogs::setTestMode(true);
}

void onNextModal(const std::function<void(QDialog *)> &act, int attemptsLeft)
{
    QTimer::singleShot(10, qApp, [act, attemptsLeft] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (attemptsLeft > 0)
                onNextModal(act, attemptsLeft - 1);
            return;
        }
        QPointer<QDialog> guard(dialog);
        // Typing needs the focus, which the dialog has only once it is activated.
        if (!QTest::qWaitForWindowActive(dialog))
            qWarning("the dialog was not activated");
        if (guard)
            act(dialog);
        if (guard && guard->isVisible())
            guard->reject();
    });
}

} // namespace guitest
