#pragma once
// The fonts of the program's windows. The document window and the dialogs use a bundled font so
// that the right alignment of numbers is the same on every machine.

#include <QFont>

namespace platform {

// Registers the bundled font with the application (once, before any window is created).
void installBundledFont();

// The window font: the bundled sans-serif at 13 pixels.
QFont windowFont();

} // namespace platform
