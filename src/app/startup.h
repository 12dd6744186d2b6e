#pragma once
// The start sequence shared by the program, the screenshot tool and the benchmarks.

class QApplication;

// Registers the program's resources (pictures, font, help): they live in a static library.
// Idempotent; every user of a resource may call it.
void initAppResources();

class QWidget;
class TMainForm;

namespace startup {

// Application title, help file, French Qt translations, bundled font: before any window exists.
void prepareApplication(QApplication &app);

// The main frame and every single window, hidden, in the start-up order.
TMainForm *createWindows();

// The splash shown while the windows are created; showSplash paints it at once.
QWidget *showSplash();

} // namespace startup
