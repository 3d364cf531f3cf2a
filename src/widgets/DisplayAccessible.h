// The display widgets (dot-matrix line, seven-segment display, numeric label) draw their text
// themselves; this makes that text readable by assistive technology: their accessible name is
// the shown text unless a name was given, and their value is always the shown text.
#pragma once

class QWidget;

namespace kv58 {

// Installs the accessibility factory of the display widgets; repeated calls do nothing.
void installDisplayAccessibility();
// Tells assistive technology that `display` shows another text.
void displayTextChanged(QWidget* display);

} // namespace kv58
