#pragma once

#include "core/layout/LayoutModel.h"
#include "core/layout/ScreenGeometry.h"
#include "gui/editor/PortLabel.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

#include <array>
#include <cstdint>

class QPainter;

// One monitor of the cascade on the layout canvas: a picture of the monitor
// and its label in the strip above the canvas. The window owns and places
// both; the tile draws the monitor as the layout model holds it and reports
// the mouse and the keyboard on it. A shown tile takes the focus by Tab only,
// so a click leaves the focus where it was.
//
// The picture is drawn when the window system asks for it, and the widget
// covers only the part of it that lies on the canvas: a tile costs the same
// memory whatever size and position its values give it.
class TScreen : public QWidget {
    Q_OBJECT

public:
    // The tile of monitor `data` of the editor's layout, drawn at the scale
    // of `canvas`, hidden, with its hint.
    TScreen(const LayoutScreen& data, const CanvasTransform& canvas, QWidget* parent);

    // What the tile shows: the monitor as the layout holds it, at the
    // canvas's scale.
    const LayoutScreen& Data;
    const CanvasTransform& Canvas;
    TPortLabel* PortLabel = nullptr;
    QColor ScreenColor() const { return QColor::fromRgb(Data.ScreenColor); }

    // Puts the picture at `rect` on the canvas (canvas pixels), with the
    // selection marks when `selected`, and shows the part on the canvas.
    void SetPicture(const QRect& rect, bool selected);
    // Moves the picture, keeping its size and marks.
    void MovePicture(QPoint topLeft);
    const QRect& Picture() const { return picture_; }
    bool Selected() const { return selected_; }
    // A point of the widget in the picture's own coordinates.
    QPoint PicturePoint(QPoint widgetPoint) const { return widgetPoint + pos() - picture_.topLeft(); }

signals:
    // The mouse on the tile; `at` is in the picture's own coordinates. A
    // double click counts as a press.
    void pressed(Qt::MouseButton button, QPoint at);
    void moved(Qt::MouseButtons buttons, QPoint at);
    void released(Qt::MouseButton button, QPoint at);
    // The keyboard on the tile: the user gave it the focus; an arrow key,
    // with Shift `toAlignment`; the Delete key.
    void focused();
    void stepped(MoveDirection direction, bool toAlignment);
    void deletePressed();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Tells assistive tools what changed since they were last told.
    void announce(bool wasSelected);

    QRect picture_;
    bool selected_ = false;
    QString announcedName_;
};

// What a screen reader says of a placed tile, and the status line after a
// keyboard move: "2A, 2560 x 1440, at 3000, 0".
QString ScreenSummary(const LayoutScreen& screen);

// "Master Port 2 Monitor 1", "Slave 3 Port 4 Monitor 2".
QString ScreenHint(int portIndex, int monitorNo);
// "Master Port 2", "Slave 3 Port 4": computer port `portIndex` (0..19).
QString PortName(int portIndex);

// A font by name and size in points at 96 pixels per inch, as the tiles and
// labels are drawn on any screen.
QFont PointFont(const QString& family, int points, bool bold);

// Where the title and the size text of a tile `height` canvas pixels high
// start (their top edge). Tiles up to 50 pixels high move the texts up.
struct TextTops {
    int Title;
    int Size;
    bool operator==(const TextTops&) const = default;
};
TextTops TileTextTops(int height);

// Whether a tile `tile` large draws a text `text` large at `top`: only when
// its line lies within the tile's height, and, unless it may be `cut` at
// the tile's sides, when it fits the tile's width too. Tiles too small for
// a text (zoomed out) draw what fits.
bool TextFits(QSize text, int top, QSize tile, bool cut);

// Whether a title may be cut at the tile's sides at `zoomDiv` device pixels
// per canvas pixel: at Actual Size and closer, where a Slave's title is
// wider than a 640 x 480 tile; zoomed out a cut title would read as part of
// its neighbour's, so a tile too narrow for its title draws none.
inline constexpr bool TitleMayBeCut(int32_t zoomDiv) { return zoomDiv <= kActualSize; }

// The left edge of a text `textWidth` wide centred on a tile `width` wide.
inline constexpr int CenteredLeft(int width, int textWidth) { return (width - textWidth) / 2; }

// The eight 6 x 6 selection marks of a tile: corners, then the middles of the
// top and bottom edges, then of the left and right edges.
std::array<QRect, 8> SelectionMarks(int width, int height);

// Draws the picture of a tile, `picture` in the painter's coordinates: its
// colour with a black outline, the title and the size text centred where
// they fit, and with `selected` the eight selection marks. Only what meets
// `visible` is drawn.
void DrawScreenPicture(QPainter& painter, const TScreen& tile, const QRect& picture, const QRect& visible,
                       bool selected);

// The focus frame of a tile: a dark blue line two pixels wide, inside the
// selection marks, so that both can be seen at once. Only what meets
// `visible` is drawn.
void DrawFocusFrame(QPainter& painter, const QRect& picture, const QRect& visible);

// A placed monitor's label is black with text in the tile's colour, an
// unplaced one the reverse; its accessible state follows.
void SetLabelPlaced(const TScreen& tile, bool placed);
