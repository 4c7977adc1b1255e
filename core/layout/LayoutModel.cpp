#include "core/layout/LayoutModel.h"

#include "core/config/LayoutRules.h"
#include "core/layout/MonitorValues.h"

#include <algorithm>
#include <array>

namespace {

// How far an arrow key moves a monitor, in canvas pixels.
constexpr int kKeyStep = 1;

// A monitor's fresh values: 1920 x 1080, landscape, at (0, 0).
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

}  // namespace

LayoutModel::LayoutModel(CanvasTransform canvas, int32_t canvasWidth, int32_t canvasHeight, QObject* parent)
    : QObject(parent)
    , canvas_(canvas)
{
    const DeskRect desk = canvas_.ToDesk(QRect(0, 0, canvasWidth, canvasHeight));
    maxDeskX_ = Saturated(desk.Right);
    maxDeskY_ = Saturated(desk.Bottom);
    for (int n = 1; n <= kScreenCount; ++n) {
        LayoutScreen& screen = screens_[n];
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
    screens_[n].ScreenGroup = curGroup_;
    forget(n);
    pending_.Painted.push_back({n, selected});
    if (selected)
        setPanel(n);
}

void LayoutModel::remove(int n)
{
    screens_[n].ScreenGroup = 0;
    forget(n);
    pending_.Removed.push_back(n);
    if (selectedNo_ != n)
        return;

    setPanel(0);
    for (int step = 0; step < kScreenCount; ++step) {
        selectedNo_ = selectedNo_ % kScreenCount + 1;
        if (screens_[selectedNo_].ScreenGroup > 0) {
            paint(selectedNo_, true);
            return;
        }
    }
    selectedNo_ = 0;
}

void LayoutModel::select(int n)
{
    if (selectedNo_ > 0 && selectedNo_ != n && screens_[selectedNo_].ScreenGroup != 0)
        paint(selectedNo_, false);
    selectedNo_ = n;
    if (screens_[n].ScreenGroup != 0)
        paint(n, true);
}

void LayoutModel::RepaintScreen(int n, bool selected)
{
    if (screens_[n].ScreenGroup != 0)
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
    selectedNo_ = 0;
    setPanel(0);
    for (int n = 1; n <= kScreenCount; ++n) {
        LayoutScreen& screen = screens_[n];
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
        const LayoutScreen& screen = screens_[n];
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
        LayoutScreen& screen = screens_[n];
        if (screen.PortIndex / 4 != curDevice_)
            screen.LabelShown = false;
        if (screen.ScreenGroup != 0 && MonitorsOfStyle(layout.MStyle[screen.PortIndex + 1]) < screen.MonitorNo)
            remove(n);
    }

    int slot = 0;
    for (int port = 1; port <= 4; ++port) {
        const int32_t count = MonitorsOfStyle(layout.MStyle[curDevice_ * 4 + port]);
        for (int monitor = 1; monitor <= 4; ++monitor) {
            const int n = curDevice_ * 4 + (monitor - 1) * kPortCount + port;
            if (monitor > count) {
                remove(n);
                screens_[n].LabelShown = false;
                continue;
            }
            screens_[n].LabelSlot = slot++;
            screens_[n].LabelShown = true;
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
    curDevice_ = unit;
    RefreshLabels(layout);
}

bool LayoutModel::CanPlace(int n) const
{
    return n >= 1 && n <= kScreenCount && screens_[n].ScreenGroup == 0;
}

PortConflict LayoutModel::ConflictOf(int n) const
{
    const int32_t portIndex = screens_[n].PortIndex;
    const bool conflict = std::any_of(screens_.begin(), screens_.end(), [portIndex](const LayoutScreen& other) {
        return other.ScreenGroup != 0 && PortsExclude(portIndex, other.PortIndex);
    });
    if (!conflict)
        return {};
    if (portIndex < 4)
        return {PortConflict::Side::Slave, portIndex + 1};
    return {PortConflict::Side::Master, portIndex / 4};
}

void LayoutModel::removeConflicting(int n)
{
    for (int other = 1; other <= kScreenCount; ++other) {
        if (PortsExclude(screens_[n].PortIndex, screens_[other].PortIndex))
            remove(other);
    }
}

void LayoutModel::PlaceFromLabel(int n, bool removeConflicting)
{
    if (removeConflicting)
        this->removeConflicting(n);
    // Not placed yet: select() only takes the marks off the tile selected
    // before, and placing draws this one selected.
    select(n);
    paint(n, true);
    publish();
}

bool LayoutModel::PortPlaced(int port) const
{
    return std::any_of(screens_.begin(), screens_.end(), [port](const LayoutScreen& s) {
        return s.ScreenGroup != 0 && s.PortIndex == port - 1;
    });
}

void LayoutModel::PlaceMonitors(int port, const std::vector<DeskRect>& monitors, bool removeConflicting,
                                const KVM_LAYOUT& layout)
{
    if (removeConflicting)
        this->removeConflicting(port);

    // Where the port's monitors stand now, else right of the layout.
    std::optional<DeskRect> portBounds;
    std::optional<DeskRect> layoutBounds;
    auto extend = [](std::optional<DeskRect>& bounds, const DeskRect& r) {
        bounds = bounds ? DeskRect{std::min(bounds->Left, r.Left), std::min(bounds->Top, r.Top),
                                   std::max(bounds->Right, r.Right), std::max(bounds->Bottom, r.Bottom)}
                        : r;
    };
    for (const LayoutScreen& screen : screens_) {
        if (screen.ScreenGroup == 0)
            continue;
        extend(layoutBounds, screen.DeskBounds());
        if (screen.PortIndex == port - 1)
            extend(portBounds, screen.DeskBounds());
    }
    // The arrangement starts at (0, 0): its far edges are its size.
    int64_t width = 0;
    int64_t height = 0;
    for (const DeskRect& r : monitors) {
        width = std::max(width, r.Right);
        height = std::max(height, r.Bottom);
    }
    int64_t x = portBounds ? portBounds->Left : layoutBounds ? layoutBounds->Right : 0;
    int64_t y = portBounds ? portBounds->Top : layoutBounds ? layoutBounds->Top : 0;
    x = std::max<int64_t>(0, std::min<int64_t>(x, maxDeskX_ - width));
    y = std::max<int64_t>(0, std::min<int64_t>(y, maxDeskY_ - height));

    for (int monitor = 1; monitor <= 4; ++monitor) {
        const int n = (monitor - 1) * kPortCount + port;
        if (monitor > static_cast<int>(monitors.size())) {
            remove(n);
            continue;
        }
        const DeskRect& r = monitors[static_cast<std::size_t>(monitor - 1)];
        LayoutScreen& screen = screens_[n];
        screen.DeskX = Saturated(x + r.Left);
        screen.DeskY = Saturated(y + r.Top);
        screen.DeskWidth = Saturated(r.Right - r.Left);
        screen.DeskHeight = Saturated(r.Bottom - r.Top);
        const ResolutionMatch match = MatchResolution(screen.DeskWidth, screen.DeskHeight);
        screen.ResIndex = match.ResIndex;
        screen.Portrait = match.Portrait;
        paint(n, false);
    }
    refreshLabels(layout);
    select(port);
    publish();
}

void LayoutModel::BeginDrag(int n)
{
    drag_.Rect = screens_[n].DeskBounds();
    drag_.Armed = true;
    drag_.Moved = false;
    select(n);
    publish();
}

DeskRect LayoutModel::DragStep(int n, int64_t dx, int64_t dy)
{
    drag_.Moved = true;
    const DeskRect proposed{drag_.Rect.Left + dx, drag_.Rect.Top + dy, drag_.Rect.Right + dx, drag_.Rect.Bottom + dy};
    drag_.Rect = ClampToDesk(SnapToEdges(Boxes(), n, proposed, Desk(), canvas_.ToDesk(kSnapDistance)), Desk());
    return drag_.Rect;
}

void LayoutModel::EndDrag(int n)
{
    if (!drag_.Armed)
        return;
    drag_.Armed = false;
    if (!drag_.Moved)
        return;
    moveTo(n, drag_.Rect);
    paint(n, n == selectedNo_);
    publish();
}

void LayoutModel::moveTo(int n, const DeskRect& rect)
{
    // Drags and key steps keep a monitor on the canvas, within 32 bits.
    screens_[n].DeskX = Saturated(rect.Left);
    screens_[n].DeskY = Saturated(rect.Top);
}

void LayoutModel::Apply(int resIndex, bool portrait, std::optional<int32_t> x, std::optional<int32_t> y)
{
    if (selectedNo_ < 1 || selectedNo_ > kScreenCount)
        return;
    LayoutScreen& screen = screens_[selectedNo_];
    const DeskSize size = resIndex == kOwnSize ? Turned(LandscapeOf(screen.DeskWidth, screen.DeskHeight), portrait)
                                               : MonitorSize(resIndex, portrait);
    screen.Portrait = portrait;
    screen.ResIndex = resIndex;
    screen.DeskWidth = size.Width;
    screen.DeskHeight = size.Height;
    screen.DeskX = x.value_or(screen.DeskX);
    screen.DeskY = y.value_or(screen.DeskY);
    if (screen.ScreenGroup != 0)
        paint(selectedNo_, true);
    publish();
}

void LayoutModel::DeleteSelected()
{
    if (selectedNo_ >= 1 && selectedNo_ <= kScreenCount)
        remove(selectedNo_);
    publish();
}

void LayoutModel::KeyStep(int n, MoveDirection direction, bool toAlignment)
{
    if (screens_[n].ScreenGroup == 0)
        return;
    if (selectedNo_ != n)
        select(n);

    // One canvas pixel, not snapped: a step shorter than the snap range
    // would be pulled back to the edge it left.
    const DeskRect from = screens_[n].DeskBounds();
    DeskRect to = from;
    if (toAlignment) {
        to = NextAlignment(Boxes(), n, from, direction, Desk());
    } else {
        const int64_t step = canvas_.ToDesk(kKeyStep);
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
    for (LayoutScreen& screen : screens_) {
        if (screen.ScreenGroup == 0)
            continue;
        // A monitor pushed past the 32-bit range stays at its end.
        screen.DeskX = Saturated(screen.DeskX + dx);
        screen.DeskY = Saturated(screen.DeskY + dy);
        paint(screen.ScreenNo, screen.ScreenNo == selectedNo_);
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

std::optional<OverlapPair> LayoutModel::CheckLayout()
{
    const std::optional<OverlapPair> overlap = FirstOverlap(Boxes());
    // A valid layout is always stored and sent from the desktop's origin:
    // wherever the user left it, the leftmost and topmost monitors start at
    // 0, and typed negative positions come back to 0.
    if (!overlap)
        MoveToTopLeft();
    return overlap;
}

QString LayoutModel::OverlapMessage(const OverlapPair& overlap) const
{
    return QStringLiteral("%1, %2 is intersected!").arg(screens_[overlap.First].Title, screens_[overlap.Second].Title);
}

bool LayoutModel::AnyPlaced() const
{
    return std::any_of(screens_.begin(), screens_.end(), [](const LayoutScreen& s) { return s.ScreenGroup != 0; });
}

bool LayoutModel::SetZoom(int32_t zoomDiv)
{
    if (drag_.Armed || std::find(kZoomSteps.begin(), kZoomSteps.end(), zoomDiv) == kZoomSteps.end())
        return false;
    if (canvas_.ZoomDiv == zoomDiv)
        return true;
    canvas_.ZoomDiv = zoomDiv;
    pending_.Zoomed = true;
    publish();
    return true;
}

std::optional<ZoomFit> LayoutModel::FitZoom(QSize client) const
{
    return FitToView(Boxes(), Desk(), client);
}

std::optional<QPoint> LayoutModel::ScrollToMonitors(QPoint scroll, QSize client) const
{
    return ScrollToTiles(Boxes(), selectedNo_, Desk(), canvas_.ZoomDiv, scroll, client);
}

LayoutState LayoutModel::State() const
{
    LayoutState state;
    for (const LayoutScreen& s : screens_)
        state.Places[s.ScreenNo] = {s.ScreenGroup, s.DeskX, s.DeskY, s.DeskWidth, s.DeskHeight, s.Portrait, s.ResIndex};
    state.SelectedNo = selectedNo_;
    return state;
}

std::vector<int32_t> LayoutModel::Restore(const LayoutState& from, const LayoutState& to, const KVM_LAYOUT& layout)
{
    // A drag under way ends; its tile, the one selected, is drawn anew
    // below, at its place.
    drag_.Armed = false;

    // No selection while monitors come and go, so that none passes it on.
    const int32_t wasSelected = selectedNo_;
    selectedNo_ = 0;
    std::vector<int32_t> changed;
    for (int n = 1; n <= kScreenCount; ++n) {
        const MonitorPlace& place = to.Places[n];
        if (from.Places[n] == place)
            continue;
        changed.push_back(n);
        LayoutScreen& screen = screens_[n];
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

    const int32_t selected = to.SelectedNo != 0 && screens_[to.SelectedNo].ScreenGroup != 0 ? to.SelectedNo : 0;
    if (wasSelected != 0 && wasSelected != selected && screens_[wasSelected].ScreenGroup != 0)
        paint(wasSelected, false);
    selectedNo_ = selected;
    if (selected != 0)
        paint(selected, true);
    else
        setPanel(0);
    publish();
    return changed;
}

void LayoutModel::NewLayout()
{
    curGroup_ = 1;
    for (int n = 1; n <= kScreenCount; ++n) {
        SetFreshMonitor(screens_[n]);
        remove(n);
    }
    publish();
}

TileBoxes LayoutModel::Boxes() const
{
    TileBoxes boxes;
    for (int n = 1; n <= kScreenCount; ++n)
        boxes[n] = {screens_[n].ScreenGroup, screens_[n].DeskBounds()};
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
