#include "support/Screenshots.h"

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QWidget>

bool SaveScreenshot(QWidget* window, const char* variant)
{
    const QDir dir(QStringLiteral(TORVIK_SCREENSHOT_DIR));
    if (!dir.mkpath(QStringLiteral(".")))
        return false;
    QString name = window->objectName();
    if (variant)
        name += QLatin1Char('-') + QLatin1String(variant);
    const bool wasVisible = window->isVisible();
    window->show();
    QApplication::processEvents();
    const bool saved = window->grab().save(dir.filePath(name + QStringLiteral(".png")));
    if (!wasVisible)
        window->hide();
    return saved;
}
