#pragma once
// Names for screen readers that Qt does not give by itself.

class QWidget;

namespace accessnames {

// A control whose keyboard goes to a field inside it (a date picker's text) is named by its
// label, but the inner field is what a screen reader meets when it takes the focus: every
// labelled control of `window` passes its label's text on to such fields.
void nameInnerFields(QWidget *window);

} // namespace accessnames
