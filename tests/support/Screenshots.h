#pragma once

class QWidget;

// Renders a window as the user would see it to
// <screenshot dir>/<objectName>.png (or <objectName>-<variant>.png).
// Returns false when the image could not be written.
bool SaveScreenshot(QWidget* window, const char* variant = nullptr);
