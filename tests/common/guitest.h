#pragma once
// Helpers shared by the widget tests.

#include <QString>

#include <functional>

class QDialog;
class QWidget;

namespace guitest {

// Types text into a widget, also characters outside ASCII (QTest::keyClicks aborts on them).
void typeText(QWidget *w, const QString &text);

// Puts the message-box, file-dialog and clock seams in test mode (call in initTestCase/init).
void useSeams();

// Runs `act` on the next modal dialog once it is up and active (polled every 10 ms, at most
// `attemptsLeft` times); whatever `act` does, the dialog does not stay open, so a failing step
// never hangs a test.
void onNextModal(const std::function<void(QDialog *)> &act, int attemptsLeft = 300);

} // namespace guitest
