#pragma once

#include <QFont>

// The windows ask for "MS Sans Serif" and "Courier New" by name. Where a
// family is not installed, one of about the intended width stands in for it
// (on Windows, one whose bold survives the system's text drawing), so text is
// measured in a real font. Boxes, menus and
// dialogs whose system face is missing get the windows' face. Called once the
// application exists.
void RegisterFontSubstitutes();

// The windows' own font: "MS Sans Serif", 11 pixels high (8 points at 96
// pixels per inch).
QFont FormFont();
