#pragma once

// Teaches Qt's accessibility layer (AT-SPI, UI Automation) the editor's own
// widgets: a port label is a button named by its title whose checked state
// and description say whether its monitor is placed, and pressing it places
// the monitor; a tile is a selectable list item named by its title,
// resolution and position; the canvas lists its shown tiles only, in
// tile-number order; the editor itself is a window (not a dialog), whose
// status line a reader reads on request.
// Safe to call more than once; only the first call installs.
void InstallEditorAccessibility();
