#pragma once
// The start sequence shared by the program, the screenshot tool and the benchmarks.

class QApplication;
class TMainForm;

namespace startup {

// Application title, French Qt translations, bundled font: before any window exists.
void prepareApplication(QApplication &app);

// The main frame and every single window, hidden, in the start-up order.
TMainForm *createWindows();

} // namespace startup
