#pragma once

// Lets a screen reader on AT-SPI (Linux's accessibility bus, read by Orca)
// present a drop-down list's current item beside its caption, on focus and
// when the item changes. Qt names such a list by its current item there and
// leaves the caption to the "labelled by" relation, so a reader that says
// the caption says no value. Elsewhere (UI Automation) Qt's own interface
// already gives caption and value, and this installs nothing.
// Safe to call more than once; only the first call installs.
void InstallComboBoxAccessibility();
