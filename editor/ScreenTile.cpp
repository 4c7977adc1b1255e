#include "editor/ScreenTile.h"

#include "editor/ScreenGeometry.h"

#include <QPainter>

#include <array>

TScreen::TScreen(int screenNo, QWidget* parent)
    : QLabel(parent)
    , ScreenNo(screenNo)
    , ScreenColor(ScreenColorOf(PortIndexOf(screenNo)))
    , Title(ScreenTitle(PortIndexOf(screenNo), MonitorNoOf(screenNo)))
    , ResIndex(kDefaultResIndex)
    , PortIndex(PortIndexOf(screenNo))
    , MonitorNo(MonitorNoOf(screenNo))
    , DeskWidth(ResTable[kDefaultResIndex].Width)
    , DeskHeight(ResTable[kDefaultResIndex].Height)
    , DeskRight(DeskX + DeskWidth)
    , DeskBottom(DeskY + DeskHeight)
{
    setObjectName(QStringLiteral("Screen%1").arg(screenNo));
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setGeometry(0, 0, 100, 100);
    const QString hint = ScreenHint(PortIndex, MonitorNo);
    setToolTip(hint);
    setAccessibleName(Title);
    setAccessibleDescription(hint);
    hide();
}

QString ScreenTitle(int portIndex, int monitorNo)
{
    const QChar letter(64 + monitorNo);
    if (portIndex < 4)
        return QStringLiteral("%1%2").arg(portIndex + 1).arg(letter);
    return QStringLiteral("S%1.%2%3").arg(portIndex / 4).arg(portIndex % 4 + 1).arg(letter);
}

QString ScreenHint(int portIndex, int monitorNo)
{
    if (portIndex < 4)
        return QStringLiteral("Master Port %1 Monitor %2").arg(portIndex + 1).arg(monitorNo);
    return QStringLiteral("Slave %1 Port %2 Monitor %3").arg(portIndex / 4).arg(portIndex % 4 + 1).arg(monitorNo);
}

QColor ScreenColorOf(int portIndex)
{
    static const std::array<QColor, 4> colours = {
        QColor(0, 255, 255), QColor(255, 0, 0), QColor(255, 255, 0), QColor(0, 255, 0)};
    return colours[static_cast<std::size_t>(portIndex % 4)];
}

QFont PointFont(const QString& family, int points, bool bold)
{
    QFont font(family);
    font.setPixelSize((points * 96 + 36) / 72);
    font.setBold(bold);
    return font;
}

QPixmap DrawScreenPicture(const TScreen& tile, int width, int height, bool selected)
{
    QPixmap picture(width, height);
    QPainter painter(&picture);
    painter.fillRect(0, 0, width, height, tile.ScreenColor);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, width - 1, height - 1);

    // Both texts are placed by their top edge, centred on the width they
    // take in the font actually used.
    const TextTops tops = TileTextTops(height);
    auto drawText = [&](const QString& text, const QFont& font, int top) {
        painter.setFont(font);
        const QFontMetrics metrics = painter.fontMetrics();
        painter.drawText(CenteredLeft(width, metrics.horizontalAdvance(text)), top + metrics.ascent(), text);
    };
    drawText(tile.Title, PointFont(QStringLiteral("Courier New"), 20, true), tops.Title);
    drawText(QStringLiteral("%1x%2").arg(tile.DeskWidth).arg(tile.DeskHeight),
             PointFont(QStringLiteral("MS Sans Serif"), 10, true), tops.Size);

    if (selected) {
        for (const QRect& mark : SelectionMarks(width, height))
            painter.fillRect(mark, Qt::black);
    }
    return picture;
}

void SetLabelPlaced(const TScreen& tile, bool placed)
{
    QPalette palette = tile.PortLabel->palette();
    palette.setColor(QPalette::Window, placed ? QColor(Qt::black) : tile.ScreenColor);
    palette.setColor(QPalette::WindowText, placed ? tile.ScreenColor : QColor(Qt::black));
    tile.PortLabel->setPalette(palette);
}
