#include "core/layout/LayoutModel.h"

#include "core/config/LayoutRules.h"
#include "core/layout/MonitorValues.h"

#include <algorithm>
#include <array>

namespace {

// How far an arrow key moves a monitor, in canvas pixels.
constexpr int kKeyStep = 1;

}  // namespace

LayoutModel::LayoutModel(CanvasTransform canvas, int32_t canvasWidth, int32_t canvasHeight)
    : Canvas(canvas)
{
    const DeskRect desk = Canvas.ToDesk(QRect(0, 0, canvasWidth, canvasHeight));
    MaxDeskX = Saturated(desk.Right);
    MaxDeskY = Saturated(desk.Bottom);
    for (int n = 1; n <= kScreenCount; ++n) {
        LayoutScreen& screen = Screens[n];
        screen.ScreenNo = n;
        screen.PortIndex = PortIndexOf(n);
        screen.MonitorNo = MonitorNoOf(n);
        screen.ScreenColor = ScreenColorOf(screen.PortIndex);
        screen.Title = ScreenTitle(screen.PortIndex, screen.MonitorNo);
        screen.LabelSlot = (n - 1) / kPortCount + (screen.PortIndex % 4) * 4;
        screen.LabelShown = screen.PortIndex < 4;
        SetFreshMonitor(screen);
    }
}

void LayoutModel::publish()
{
    if (pending_.empty())
        return;
    const LayoutChange change = std::move(pending_);
    pending_ = LayoutChange{};
    emit changed(change);
}

void LayoutModel::forget(int n)
{
    // Only the last paint or removal of a monitor counts.
    std::erase_if(pending_.Painted, [n](const LayoutChange::Paint& paint) { return paint.ScreenNo == n; });
    std::erase(pending_.Removed, n);
}

void LayoutModel::setPanel(int n)
{
    pending_.PanelChanged = true;
    pending_.PanelScreen = n;
}

void LayoutModel::paint(int n, bool selected)
{
    Screens[n].ScreenGroup = CurGroup;
    forget(n);
    pending_.Painted.push_back({n, selected});
    if (selected)
        setPanel(n);
}

void LayoutModel::remove(int n)
{
    Screens[n].ScreenGroup = 0;
    forget(n);
    pending_.Removed.push_back(n);
    if (SelectedNo != n)
        return;

    setPanel(0);
    for (int step = 0; step < kScreenCount; ++step) {
        SelectedNo = SelectedNo % kScreenCount + 1;
        if (Screens[SelectedNo].ScreenGroup > 0) {
            paint(SelectedNo, true);
            return;
        }
    }
    SelectedNo = 0;
}

void LayoutModel::select(int n)
{
    if (SelectedNo > 0 && SelectedNo != n && Screens[SelectedNo].ScreenGroup != 0)
        paint(SelectedNo, false);
    SelectedNo = n;
    if (Screens[n].ScreenGroup != 0)
        paint(n, true);
}

void LayoutModel::PaintScreen(int n, bool selected)
{
    paint(n, selected);
    publish();
}

void LayoutModel::RepaintScreen(int n, bool selected)
{
    if (Screens[n].ScreenGroup != 0)
        paint(n, selected);
    publish();
}

void LayoutModel::RemoveScreen(int n)
{
    remove(n);
    publish();
}

void LayoutModel::Select(int n)
{
    select(n);
    publish();
}

void LayoutModel::LoadFromConfig(const KVM_LAYOUT& layout)
{
    // A reload replaces the layout as a whole, so no monitor stays selected.
    SelectedNo = 0;
    setPanel(0);
    for (int n = 1; n <= kScreenCount; ++n) {
        LayoutScreen& screen = Screens[n];
        const PortRect& port = layout.Port[n];
        if (port.Width == 0 || port.Height == 0) {
            remove(n);
            continue;
        }
        screen.DeskX = port.X;
        screen.DeskY = port.Y;
        screen.DeskWidth = port.Width;
        screen.DeskHeight = port.Height;
        const ResolutionMatch match = MatchResolution(port.Width, port.Height);
        screen.ResIndex = match.ResIndex;
        screen.Portrait = match.Portrait;
        if (layout.Group[n] == 0)
            remove(n);
        else
            paint(n, false);
    }
    refreshLabels(layout);
    publish();
}

void LayoutModel::StoreToConfig(KVM_LAYOUT& layout) const
{
    for (int n = 1; n <= kScreenCount; ++n) {
        const LayoutScreen& screen = Screens[n];
        const bool placed = screen.ScreenGroup != 0;
        layout.Group[n] = screen.ScreenGroup;
        layout.Port[n] = {placed ? screen.DeskX : 0, placed ? screen.DeskY : 0, screen.DeskWidth, screen.DeskHeight};
    }
    StoreMonitorTotals(layout);
}

void LayoutModel::refreshLabels(const KVM_LAYOUT& layout)
{
    pending_.Labels = true;
    for (int n = 1; n <= kScreenCount; ++n) {
        LayoutScreen& screen = Screens[n];
        if (screen.PortIndex / 4 != CurDevice)
            screen.LabelShown = false;
        if (screen.ScreenGroup != 0 && MonitorsOfStyle(layout.MStyle[screen.PortIndex + 1]) < screen.MonitorNo)
            remove(n);
    }

    int slot = 0;
    for (int port = 1; port <= 4; ++port) {
        const int32_t count = MonitorsOfStyle(layout.MStyle[CurDevice * 4 + port]);
        for (int monitor = 1; monitor <= 4; ++monitor) {
            const int n = CurDevice * 4 + (monitor - 1) * kPortCount + port;
            if (monitor > count) {
                remove(n);
                Screens[n].LabelShown = false;
                continue;
            }
            Screens[n].LabelSlot = slot++;
            Screens[n].LabelShown = true;
        }
    }
}

void LayoutModel::RefreshLabels(const KVM_LAYOUT& layout)
{
    refreshLabels(layout);
    publish();
}

void LayoutModel::SetDevice(int32_t unit, const KVM_LAYOUT& layout)
{
    CurDevice = unit;
    RefreshLabels(layout);
}

bool LayoutModel::CanPlace(int n) const
{
    return n >= 1 && n <= kScreenCount && Screens[n].ScreenGroup == 0;
}

PortConflict LayoutModel::ConflictOf(int n) const
{
    const int32_t portIndex = Screens[n].PortIndex;
    const bool conflict = std::any_of(Screens.begin(), Screens.end(), [portIndex](const LayoutScreen& other) {
        return other.ScreenGroup != 0 && PortsExclude(portIndex, other.PortIndex);
    });
    if (!conflict)
        return {};
    if (portIndex < 4)
        return {PortConflict::Side::Slave, portIndex + 1};
    return {PortConflict::Side::Master, portIndex / 4};
}

void LayoutModel::PlaceFromLabel(int n, bool removeConflicting)
{
    if (removeConflicting) {
        for (int other = 1; other <= kScreenCount; ++other) {
            if (PortsExclude(Screens[n].PortIndex, Screens[other].PortIndex))
                remove(other);
        }
    }
    // Not placed yet: select() only takes the marks off the tile selected
    // before, and placing draws this one selected.
    select(n);
    paint(n, true);
    publish();
}

void LayoutModel::BeginDrag(int n)
{
    DragRect = Screens[n].DeskBounds();
    DragArmed = true;
    DragMoved = false;
    select(n);
    publish();
}

DeskRect LayoutModel::DragStep(int n, int64_t dx, int64_t dy)
{
    DragMoved = true;
    const DeskRect proposed{DragRect.Left + dx, DragRect.Top + dy, DragRect.Right + dx, DragRect.Bottom + dy};
    DragRect = ClampToDesk(SnapToEdges(Boxes(), n, proposed, Desk(), Canvas.ToDesk(kSnapDistance)), Desk());
    return DragRect;
}

void LayoutModel::EndDrag(int n)
{
    if (!DragArmed)
        return;
    DragArmed = false;
    if (!DragMoved)
        return;
    moveTo(n, DragRect);
    paint(n, n == SelectedNo);
    publish();
}

void LayoutModel::moveTo(int n, const DeskRect& rect)
{
    // Drags and key steps keep a monitor on the canvas, within 32 bits.
    Screens[n].DeskX = Saturated(rect.Left);
    Screens[n].DeskY = Saturated(rect.Top);
}

void LayoutModel::Apply(int resIndex, bool portrait, std::optional<int32_t> x, std::optional<int32_t> y)
{
    if (SelectedNo < 1 || SelectedNo > kScreenCount)
        return;
    LayoutScreen& screen = Screens[SelectedNo];
    screen.Portrait = portrait;
    screen.ResIndex = resIndex;
    const DeskSize size = MonitorSize(resIndex, portrait);
    screen.DeskWidth = size.Width;
    screen.DeskHeight = size.Height;
    screen.DeskX = x.value_or(screen.DeskX);
    screen.DeskY = y.value_or(screen.DeskY);
    if (screen.ScreenGroup != 0)
        paint(SelectedNo, true);
    publish();
}

void LayoutModel::DeleteSelected()
{
    if (SelectedNo >= 1 && SelectedNo <= kScreenCount)
        remove(SelectedNo);
    publish();
}

void LayoutModel::KeyStep(int n, MoveDirection direction, bool toAlignment)
{
    if (Screens[n].ScreenGroup == 0)
        return;
    if (SelectedNo != n)
        select(n);

    // One canvas pixel, not snapped: a step shorter than the snap range
    // would be pulled back to the edge it left.
    const DeskRect from = Screens[n].DeskBounds();
    DeskRect to = from;
    if (toAlignment) {
        to = NextAlignment(Boxes(), n, from, direction, Desk());
    } else {
        const int64_t step = Canvas.ToDesk(kKeyStep);
        const int64_t dx = direction == MoveDirection::Left ? -step : direction == MoveDirection::Right ? step : 0;
        const int64_t dy = direction == MoveDirection::Up ? -step : direction == MoveDirection::Down ? step : 0;
        to = {from.Left + dx, from.Top + dy, from.Right + dx, from.Bottom + dy};
    }
    moveTo(n, ClampToDesk(to, Desk()));
    paint(n, true);
    publish();
}

void LayoutModel::shift(int64_t dx, int64_t dy)
{
    // Nothing moves: nothing is drawn anew (as the check finds a layout
    // already at the origin).
    if (dx == 0 && dy == 0)
        return;
    for (LayoutScreen& screen : Screens) {
        if (screen.ScreenGroup == 0)
            continue;
        // A monitor pushed past the 32-bit range stays at its end.
        screen.DeskX = Saturated(screen.DeskX + dx);
        screen.DeskY = Saturated(screen.DeskY + dy);
        paint(screen.ScreenNo, screen.ScreenNo == SelectedNo);
    }
}

LayoutStep LayoutModel::MoveLayout(MoveDirection direction)
{
    const LayoutStep step = MoveStep(Boxes(), direction, Desk());
    const bool vertical = direction == MoveDirection::Up || direction == MoveDirection::Down;
    const bool towardStart = direction == MoveDirection::Up || direction == MoveDirection::Left;
    const int64_t distance = towardStart ? -step.Step : step.Step;
    shift(vertical ? 0 : distance, vertical ? distance : 0);
    publish();
    return step;
}

void LayoutModel::MoveToTopLeft()
{
    const DeskOffset topLeft = LayoutTopLeft(Boxes(), Desk());
    shift(-int64_t{topLeft.X}, -int64_t{topLeft.Y});
    publish();
}

OverlapPair LayoutModel::CheckLayout()
{
    const OverlapPair overlap = FirstOverlap(Boxes());
    // A valid layout is always stored and sent from the desktop's origin:
    // wherever the user left it, the leftmost and topmost monitors start at
    // 0, and typed negative positions come back to 0.
    if (overlap.First == 0)
        MoveToTopLeft();
    return overlap;
}

QString LayoutModel::OverlapMessage(const OverlapPair& overlap) const
{
    return QStringLiteral("%1, %2 is intersected!").arg(Screens[overlap.First].Title, Screens[overlap.Second].Title);
}

bool LayoutModel::AnyPlaced() const
{
    return std::any_of(Screens.begin(), Screens.end(), [](const LayoutScreen& s) { return s.ScreenGroup != 0; });
}

LayoutState LayoutModel::State() const
{
    LayoutState state;
    for (const LayoutScreen& s : Screens)
        state.Places[s.ScreenNo] = {s.ScreenGroup, s.DeskX, s.DeskY, s.DeskWidth, s.DeskHeight, s.Portrait, s.ResIndex};
    state.SelectedNo = SelectedNo;
    return state;
}

std::vector<int32_t> LayoutModel::Restore(const LayoutState& from, const LayoutState& to, const KVM_LAYOUT& layout)
{
    // A drag under way ends; its tile, the one selected, is drawn anew
    // below, at its place.
    DragArmed = false;

    // No selection while monitors come and go, so that none passes it on.
    const int32_t wasSelected = SelectedNo;
    SelectedNo = 0;
    std::vector<int32_t> changed;
    for (int n = 1; n <= kScreenCount; ++n) {
        const MonitorPlace& place = to.Places[n];
        if (from.Places[n] == place)
            continue;
        changed.push_back(n);
        LayoutScreen& screen = Screens[n];
        screen.DeskX = place.DeskX;
        screen.DeskY = place.DeskY;
        screen.DeskWidth = place.DeskWidth;
        screen.DeskHeight = place.DeskHeight;
        screen.Portrait = place.Portrait;
        screen.ResIndex = place.ResIndex;
        if (place.ScreenGroup == 0)
            remove(n);
        else
            paint(n, false);
    }
    refreshLabels(layout);

    const int32_t selected = to.SelectedNo != 0 && Screens[to.SelectedNo].ScreenGroup != 0 ? to.SelectedNo : 0;
    if (wasSelected != 0 && wasSelected != selected && Screens[wasSelected].ScreenGroup != 0)
        paint(wasSelected, false);
    SelectedNo = selected;
    if (selected != 0)
        paint(selected, true);
    else
        setPanel(0);
    publish();
    return changed;
}

void LayoutModel::NewLayout()
{
    CurGroup = 1;
    for (int n = 1; n <= kScreenCount; ++n) {
        SetFreshMonitor(Screens[n]);
        remove(n);
    }
    publish();
}

TileBoxes LayoutModel::Boxes() const
{
    TileBoxes boxes;
    for (int n = 1; n <= kScreenCount; ++n)
        boxes[n] = {Screens[n].ScreenGroup, Screens[n].DeskBounds()};
    return boxes;
}

QString ScreenTitle(int portIndex, int monitorNo)
{
    const QChar letter(64 + monitorNo);
    if (portIndex < 4)
        return QStringLiteral("%1%2").arg(portIndex + 1).arg(letter);
    return QStringLiteral("S%1.%2%3").arg(portIndex / 4).arg(portIndex % 4 + 1).arg(letter);
}

uint32_t ScreenColorOf(int portIndex)
{
    static constexpr std::array<uint32_t, 4> colours = {0xFF00FFFF, 0xFFFF0000, 0xFFFFFF00, 0xFF00FF00};
    return colours[static_cast<std::size_t>(portIndex % 4)];
}

void SetFreshMonitor(LayoutScreen& screen)
{
    screen.Portrait = false;
    screen.ResIndex = kDefaultResIndex;
    const DeskSize size = MonitorSize(screen.ResIndex, screen.Portrait);
    screen.DeskWidth = size.Width;
    screen.DeskHeight = size.Height;
    screen.DeskX = 0;
    screen.DeskY = 0;
}
