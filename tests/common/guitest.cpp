#include "guitest.h"

#include "platform/filedialogs.h"
#include "platform/messages.h"

#include <QTest>

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

} // namespace guitest
