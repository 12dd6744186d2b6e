#pragma once
// Helpers shared by the widget tests.

#include <QString>

class QWidget;

namespace guitest {

// Types text into a widget, also characters outside ASCII (QTest::keyClicks aborts on them).
void typeText(QWidget *w, const QString &text);

// Puts the message-box, file-dialog and clock seams in test mode (call in initTestCase/init).
void useSeams();

} // namespace guitest
