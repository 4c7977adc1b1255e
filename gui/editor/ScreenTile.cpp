#include "gui/editor/ScreenTile.h"


#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <array>

TScreen::TScreen(const LayoutScreen& data, const CanvasTransform& canvas, QWidget* parent)
    : QWidget(parent)
    , Data(data)
    , Canvas(canvas)
{
    setObjectName(QStringLiteral("Screen%1").arg(data.ScreenNo));
    setGeometry(0, 0, 100, 100);
    const QString hint = ScreenHint(data.PortIndex, data.MonitorNo);
    setToolTip(hint);
    setAccessibleName(data.Title);
    setAccessibleDescription(hint);
    setFocusPolicy(Qt::TabFocus);
    hide();
}

void TScreen::SetPicture(const QRect& rect, bool selected)
{
    const bool wasSelected = selected_;
    picture_ = rect;
    selected_ = selected;
    MovePicture(rect.topLeft());
    announce(wasSelected);
}

void TScreen::announce(bool wasSelected)
{
    if (selected_ != wasSelected) {
        QAccessible::State changed;
        changed.selected = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
    if (const QString name = ScreenSummary(Data); name != announcedName_) {
        announcedName_ = name;
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void TScreen::MovePicture(QPoint topLeft)
{
    picture_.moveTopLeft(topLeft);
    // The part on the canvas; a picture without area, or beyond the canvas,
    // leaves an empty widget at the nearest point of the canvas.
    const QRect canvas = parentWidget()->rect();
    const QRect part = picture_.isEmpty() ? QRect() : picture_.intersected(canvas);
    if (part.isEmpty())
        setGeometry(std::clamp(topLeft.x(), 0, canvas.width()), std::clamp(topLeft.y(), 0, canvas.height()), 0, 0);
    else
        setGeometry(part);
    update();
}

void TScreen::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    DrawScreenPicture(painter, *this, picture_.translated(-pos()), event->rect(), selected_);
    if (hasFocus())
        DrawFocusFrame(painter, picture_.translated(-pos()), event->rect());
}

void TScreen::mousePressEvent(QMouseEvent* event)
{
    emit pressed(event->button(), PicturePoint(event->position().toPoint()));
}

void TScreen::mouseDoubleClickEvent(QMouseEvent* event)
{
    emit pressed(event->button(), PicturePoint(event->position().toPoint()));
}

void TScreen::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(event->buttons(), PicturePoint(event->position().toPoint()));
}

void TScreen::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(event->button(), PicturePoint(event->position().toPoint()));
}

void TScreen::keyPressEvent(QKeyEvent* event)
{
    // Arrows alone or with Shift, and Delete alone; every other key, Ctrl
    // and Alt combinations included, goes on to the window.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool shift = modifiers == Qt::ShiftModifier;
    const bool plain = modifiers == Qt::NoModifier;
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (plain || shift) {
            static constexpr MoveDirection directions[] = {MoveDirection::Left, MoveDirection::Up,
                                                           MoveDirection::Right, MoveDirection::Down};
            emit stepped(directions[event->key() - Qt::Key_Left], shift);
            return;
        }
        break;
    case Qt::Key_Delete:
        if (plain) {
            emit deletePressed();
            return;
        }
        break;
    default:
        break;
    }
    QWidget::keyPressEvent(event);
}

void TScreen::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
    // The focus coming back with the window or after a menu is no choice of
    // the user's: a tile selected with the mouse meanwhile stays selected.
    const Qt::FocusReason reason = event->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
        emit focused();
}

void TScreen::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    update();
}

QString ScreenSummary(const LayoutScreen& screen)
{
    return QStringLiteral("%1, %2 x %3, at %4, %5")
        .arg(screen.Title)
        .arg(screen.DeskWidth)
        .arg(screen.DeskHeight)
        .arg(screen.DeskX)
        .arg(screen.DeskY);
}

QString PortName(int portIndex)
{
    if (portIndex < 4)
        return QStringLiteral("Master Port %1").arg(portIndex + 1);
    return QStringLiteral("Slave %1 Port %2").arg(portIndex / 4).arg(portIndex % 4 + 1);
}

QString ScreenHint(int portIndex, int monitorNo)
{
    return QStringLiteral("%1 Monitor %2").arg(PortName(portIndex)).arg(monitorNo);
}

QFont PointFont(const QString& family, int points, bool bold)
{
    QFont font(family);
    font.setPixelSize((points * 96 + 36) / 72);
    font.setBold(bold);
    return font;
}

TextTops TileTextTops(int height)
{
    if (height > 50)
        return {(height - 47) / 2, (height - 47) / 2 + 31};
    return {(height - 42) / 2, (height - 42) / 2 + 26};
}

bool TextFits(QSize text, int top, QSize tile, bool cut)
{
    return top >= 0 && top + text.height() <= tile.height() && (cut || text.width() <= tile.width());
}

std::array<QRect, 8> SelectionMarks(int width, int height)
{
    constexpr int s = 6;
    const int midX = width / 2 - 3;
    const int midY = height / 2 - 3;
    return {{
        {0, 0, s, s},
        {width - s, 0, s, s},
        {0, height - s, s, s},
        {width - s, height - s, s, s},
        {midX, 0, s, s},
        {midX, height - s, s, s},
        {0, midY, s, s},
        {width - s, midY, s, s},
    }};
}

void DrawScreenPicture(QPainter& painter, const TScreen& tile, const QRect& picture, const QRect& visible,
                       bool selected)
{
    // Rectangles are cut to what is visible first, so that the coordinates
    // handed to the painter stay small however large the picture is.
    auto fill = [&](const QRect& rect, const QColor& colour) {
        const QRect part = rect.intersected(visible);
        if (!part.isEmpty())
            painter.fillRect(part, colour);
    };
    const int width = picture.width();
    const int height = picture.height();
    const QPoint origin = picture.topLeft();
    fill(picture, tile.ScreenColor());
    // A black outline one pixel wide, inside the picture.
    fill({origin, QSize(width, 1)}, Qt::black);
    fill({origin + QPoint(0, height - 1), QSize(width, 1)}, Qt::black);
    fill({origin, QSize(1, height)}, Qt::black);
    fill({origin + QPoint(width - 1, 0), QSize(1, height)}, Qt::black);

    // Both texts are placed by their top edge, centred on the width they
    // take in the font actually used. The title may be cut at the tile's
    // sides at Actual Size and closer (TitleMayBeCut); the size text is
    // drawn whole or not at all, as a number cut short would read as
    // another.
    const TextTops tops = TileTextTops(height);
    painter.setPen(Qt::black);
    auto drawText = [&](const QString& text, const QFont& font, int top, bool cut) {
        painter.setFont(font);
        const QFontMetrics metrics = painter.fontMetrics();
        const QSize size(metrics.horizontalAdvance(text), metrics.height());
        if (!TextFits(size, top, picture.size(), cut))
            return;
        const QPoint at = origin + QPoint(CenteredLeft(width, size.width()), top);
        if (QRect(at, size).intersects(visible))
            painter.drawText(at + QPoint(0, metrics.ascent()), text);
    };
    drawText(tile.Data.Title, PointFont(QStringLiteral("Courier New"), 20, true), tops.Title,
             TitleMayBeCut(tile.Canvas.ZoomDiv));
    drawText(QStringLiteral("%1x%2").arg(tile.Data.DeskWidth).arg(tile.Data.DeskHeight),
             PointFont(QStringLiteral("MS Sans Serif"), 10, true), tops.Size, false);

    if (selected) {
        for (const QRect& mark : SelectionMarks(width, height))
            fill(mark.translated(origin), Qt::black);
    }
}

void DrawFocusFrame(QPainter& painter, const QRect& picture, const QRect& visible)
{
    constexpr int inset = 8;  // past the 6 pixel selection marks
    constexpr int line = 2;
    const QRect frame = picture.adjusted(inset, inset, -inset, -inset);
    if (frame.width() <= 2 * line || frame.height() <= 2 * line)
        return;
    const QColor colour(0, 0, 160);
    for (const QRect& bar : {QRect(frame.topLeft(), QSize(frame.width(), line)),
                             QRect(frame.left(), frame.bottom() - line + 1, frame.width(), line),
                             QRect(frame.topLeft(), QSize(line, frame.height())),
                             QRect(frame.right() - line + 1, frame.top(), line, frame.height())}) {
        if (const QRect part = bar.intersected(visible); !part.isEmpty())
            painter.fillRect(part, colour);
    }
}

void SetLabelPlaced(const TScreen& tile, bool placed)
{
    tile.PortLabel->SetPlaced(placed);
    QPalette palette = tile.PortLabel->palette();
    const QColor background = placed ? QColor(Qt::black) : tile.ScreenColor();
    const QColor text = placed ? tile.ScreenColor() : QColor(Qt::black);
    // Reloading a layout marks every label again; most keep their look.
    if (palette.color(QPalette::Window) == background && palette.color(QPalette::WindowText) == text)
        return;
    palette.setColor(QPalette::Window, background);
    palette.setColor(QPalette::WindowText, text);
    tile.PortLabel->setPalette(palette);
}
