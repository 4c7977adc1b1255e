// Arbitrary layout tables, as they arrive from the switch or a file, through
// the layout editor: load, the whole-layout moves, a drag, Apply, the check,
// store, and the upload's command lines. Besides crashes, undefined
// behaviour and huge allocations it checks that
// - a placed tile carries its table values, and a store without edits hands
//   them back unchanged;
// - every tile's widget stays within the canvas, whatever its size;
// - a passed check moves the layout by its top-left corner, at most by the
//   canvas's size.
//
// Input: a 15-byte header, then records of 6 bytes (a table slot, 16 bits,
// and its value, 32 bits, little-endian) applied to the factory layout:
//   byte 0        operations: 1 Up, 2 Down, 4 Left, 8 Right, 16 Top-Left,
//                 32 drag, 64 Apply, 128 check
//   byte 1        the tile to drag (the first placed one from there)
//   byte 2        the resolution entry Apply chooses, and Portrait in bit 7
//   bytes 3..6    the drag's pointer move inside the tile, x and y, 16 bits each
//   bytes 7..14   the position typed for Apply, x and y, 32 bits each
// Slots number Group[1..80], then Port[1..80] (X, Y, Width, Height each),
// MStyle[1..20], MTotal[1..20] (Width, Height), MConfig[1..80] (X, Y).

#include "core/config/KvmConfig.h"
#include "core/layout/MonitorValues.h"
#include "core/link/TransferService.h"
#include "core/link/UploadCommands.h"
#include "core/serial/CommDevice.h"
#include "core/serial/PortNames.h"
#include "gui/editor/GlidexWindow.h"
#include "gui/platform/Fonts.h"
#include "support/FakePointer.h"
#include "support/QuietPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::size_t kHeaderSize = 15;
constexpr std::size_t kRecordSize = 6;
constexpr int kSlotCount = kScreenCount + kScreenCount * 4 + kPortCount + kPortCount * 2 + kScreenCount * 2;

// A broken rule names its line before the fuzzer records the input.
#define check(condition) \
    ((condition) ? void() : (std::fprintf(stderr, "layout_fuzz: %s fails at line %d\n", #condition, __LINE__), std::abort()))

template <typename T>
T readLittle(const uint8_t* bytes)
{
    std::make_unsigned_t<T> value = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i)
        value |= static_cast<std::make_unsigned_t<T>>(bytes[i]) << (8 * i);
    return static_cast<T>(value);
}

int32_t& slot(KVM_LAYOUT& layout, int k)
{
    if (k < kScreenCount)
        return layout.Group[k + 1];
    k -= kScreenCount;
    if (k < kScreenCount * 4) {
        PortRect& r = layout.Port[k / 4 + 1];
        return k % 4 == 0 ? r.X : k % 4 == 1 ? r.Y : k % 4 == 2 ? r.Width : r.Height;
    }
    k -= kScreenCount * 4;
    if (k < kPortCount)
        return layout.MStyle[k + 1];
    k -= kPortCount;
    if (k < kPortCount * 2)
        return k % 2 == 0 ? layout.MTotal[k / 2 + 1].Width : layout.MTotal[k / 2 + 1].Height;
    k -= kPortCount * 2;
    return k % 2 == 0 ? layout.MConfig[k / 2 + 1].X : layout.MConfig[k / 2 + 1].Y;
}

struct Editor {
    SilentPrompts prompts;
    FakePointer pointer;
    IdlePump pump;
    ConfigRecords config;
    TransferService transfers{pump, CreatePlatformCommDevice(PortNames{}), config};
    TfrmGlidex window{prompts, pointer, config, transfers, QString()};
};

Editor& editor()
{
    static Editor* instance = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "layout_fuzz";
        static char* argv[] = {name, nullptr};
        new QApplication(argc, argv);
        RegisterFontSubstitutes();
        return new Editor;
    }();
    return *instance;
}

bool placed(const TScreen& tile)
{
    return tile.Data.ScreenGroup != 0;
}

void checkTiles(TfrmGlidex& w)
{
    const QRect canvas = w.findChild<QWidget*>(QStringLiteral("imgLayout"))->rect();
    for (const TScreen* tile : w.Screens()) {
        check(tile->geometry().isEmpty() || canvas.contains(tile->geometry()));
    }
}

// Draws the top-left corner of the first placed tile, as a repaint would.
void drawFirstPlaced(TfrmGlidex& w)
{
    for (TScreen* tile : w.Screens()) {
        if (placed(*tile)) {
            QImage corner(32, 32, QImage::Format_RGB32);
            tile->render(&corner, QPoint(), QRegion(0, 0, 32, 32));
            return;
        }
    }
}

// The smallest left and top of the placed tiles (INT_MAX when none is).
QPoint topLeft(const TfrmGlidex& w)
{
    QPoint corner(INT32_MAX, INT32_MAX);
    for (const TScreen* tile : w.Screens()) {
        if (placed(*tile))
            corner = QPoint(std::min(corner.x(), tile->Data.DeskX), std::min(corner.y(), tile->Data.DeskY));
    }
    return corner;
}

void drag(TfrmGlidex& w, int from, int16_t dx, int16_t dy)
{
    for (int i = 0; i < kScreenCount; ++i) {
        TScreen& tile = *w.Screens()[(from + i) % kScreenCount + 1];
        if (!placed(tile))
            continue;
        w.ScreenMouseDown(tile, Qt::LeftButton, 10, 10);
        w.ScreenMouseMove(tile, Qt::LeftButton, 10 + dx, 10 + dy);
        w.ScreenMouseUp(tile, Qt::LeftButton, 10 + dx, 10 + dy);
        return;
    }
}

}  // namespace

// Fontconfig keeps a few allocations of its own until exit.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t header[kHeaderSize] = {};
    std::memcpy(header, data, std::min(size, kHeaderSize));
    KVM_LAYOUT input;
    KVM_CONFIG config;
    ResetToDefaults(config, input);
    for (std::size_t pos = kHeaderSize; pos + kRecordSize <= size; pos += kRecordSize)
        slot(input, readLittle<uint16_t>(data + pos) % kSlotCount) = readLittle<int32_t>(data + pos + 2);

    // Loading keeps the fields of a tile without a size from the previous
    // input: every tile, and the pointer, start from the same place again.
    // The editor's model and widgets are found by their object names.
    Editor& e = editor();
    e.pointer.position = QPoint();
    e.pointer.moves.clear();
    TfrmGlidex& w = e.window;
    LayoutModel& model = *w.findChild<LayoutModel*>(QStringLiteral("Model"));
    model.NewLayout();
    const auto* scrollLayout = w.findChild<QScrollArea*>(QStringLiteral("scrollLayout"));
    scrollLayout->horizontalScrollBar()->setValue(0);
    scrollLayout->verticalScrollBar()->setValue(0);

    KVM_LAYOUT& layout = e.config.KvmLayout;
    layout = input;
    w.LoadFromConfig(QStringLiteral("Load Config"));
    checkTiles(w);
    w.StoreToConfig();
    for (int n = 1; n <= kScreenCount; ++n) {
        if (placed(*w.Screens()[n]))
            check(layout.Port[n] == input.Port[n]);
    }

    const uint8_t ops = header[0];
    using Move = void (TfrmGlidex::*)();
    static constexpr Move kMoves[] = {&TfrmGlidex::mnuMoveUpClick, &TfrmGlidex::mnuMoveDownClick,
                                      &TfrmGlidex::mnuMoveLeftClick, &TfrmGlidex::mnuMoveRightClick,
                                      &TfrmGlidex::mnuMoveTopLeftClick};
    for (int bit = 0; bit < 5; ++bit) {
        if (ops & (1 << bit))
            (w.*kMoves[bit])();
    }
    checkTiles(w);
    if (ops & 32)
        drag(w, header[1], readLittle<int16_t>(header + 3), readLittle<int16_t>(header + 5));
    if (ops & 64) {
        w.findChild<QComboBox*>(QStringLiteral("cmbResolution"))->setCurrentIndex((header[2] & 127) % kResCount);
        w.findChild<QCheckBox*>(QStringLiteral("chkPortrait"))->setChecked((header[2] & 128) != 0);
        w.findChild<QLineEdit*>(QStringLiteral("edtX"))->setText(QString::number(readLittle<int32_t>(header + 7)));
        w.findChild<QLineEdit*>(QStringLiteral("edtY"))->setText(QString::number(readLittle<int32_t>(header + 11)));
        w.btnApplyClick();
    }
    checkTiles(w);
    if (ops & 128) {
        const QPoint before = topLeft(w);
        if (w.CheckLayout(false) == 0 && before.x() != INT32_MAX) {
            // Shifted by the top-left corner, counted from the canvas's far
            // border: a layout beyond it moves by the canvas's size.
            const QPoint after = topLeft(w);
            check(after.x() == std::max<int64_t>(0, int64_t{before.x()} - model.MaxDeskX()));
            check(after.y() == std::max<int64_t>(0, int64_t{before.y()} - model.MaxDeskY()));
        }
    }
    checkTiles(w);
    drawFirstPlaced(w);

    w.StoreToConfig();
    check(LayoutCommands(layout).size() == 4 + kScreenCount + 1 + kPortCount + kScreenCount);
    QCoreApplication::sendPostedEvents();
    return 0;
}
