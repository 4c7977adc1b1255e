// The Layout menu's placing of a computer's real monitors on a port: read
// from the window system here, or from a list another computer wrote.

#include "gui/editor/GlidexWindow.h"

#include "core/config/LayoutRules.h"
#include "core/layout/MonitorArrangement.h"
#include "core/platform/Prompts.h"
#include "gui/editor/PortLabel.h"
#include "gui/platform/SystemMonitors.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QScrollArea>
#include <QStatusBar>

namespace {

const QString kMonitorListFilter = QStringLiteral("Monitor List (*.json)|*.json");
const QString kMonitorListExtension = QStringLiteral("json");
// A list of a few monitors is a few hundred bytes; anything this large is
// no such list.
constexpr qint64 kMaxListBytes = 1 << 20;

}  // namespace

void TfrmGlidex::mnuPlaceMonitorsClick()
{
    placeMonitors(SystemMonitors(), mnuPlaceMonitors->text());
}

void TfrmGlidex::mnuPlaceMonitorsFromFileClick()
{
    const QString fileName = prompts_.openFileName(this, kMonitorListFilter, kMonitorListExtension);
    if (fileName.isEmpty())
        return;
    QFile file(fileName);
    QString error;
    MonitorsRead read;
    if (!file.open(QIODevice::ReadOnly))
        error = file.errorString();
    else if (file.size() > kMaxListBytes)
        error = QStringLiteral("larger than a monitor list");
    else
        read = ReadMonitorsJson(file.read(kMaxListBytes));
    if (error.isEmpty())
        error = read.Error;
    if (!error.isEmpty()) {
        prompts_.messageBox(this, QStringLiteral("%1 holds no monitor list: %2.")
                                      .arg(QDir::toNativeSeparators(fileName), error),
                            QStringLiteral("Error"), MsgButtons::Ok);
        return;
    }
    placeMonitors(read.Monitors, mnuPlaceMonitorsFromFile->text().remove(QChar(0x2026)));
}

int TfrmGlidex::placingPort()
{
    const auto* label = qobject_cast<TPortLabel*>(QApplication::focusWidget());
    if (label && label->isVisible() && model_.SelectedNo() == selectedAtLabelFocus_)
        return PortIndexOf(label->property("Tag").toInt()) + 1;
    if (model_.SelectedNo() != 0)
        return model_.Screens()[model_.SelectedNo()].PortIndex + 1;
    QStringList ports;
    for (int port = 1; port <= kPortCount; ++port)
        ports << PortName(port - 1);
    const int chosen = prompts_.chooseItem(this, QStringLiteral("Place the monitors on which port?"),
                                           QStringLiteral("Confirm"), ports);
    return chosen < 0 ? 0 : chosen + 1;
}

void TfrmGlidex::placeMonitors(const std::vector<ComputerMonitor>& monitors, const QString& command)
{
    const MonitorArrangement arrangement = ArrangeMonitors(monitors, {model_.MaxDeskX(), model_.MaxDeskY()});
    QString refusal;
    switch (arrangement.Result) {
    case MonitorArrangement::Fit::Arranged:
        break;
    case MonitorArrangement::Fit::NoMonitors:
        refusal = QStringLiteral("No monitors were found. Nothing was changed.");
        break;
    case MonitorArrangement::Fit::TooMany:
        refusal = QStringLiteral("%1 monitors: a port takes four at most. Nothing was changed.").arg(monitors.size());
        break;
    case MonitorArrangement::Fit::NoStyle:
        refusal = QStringLiteral("The monitors stand in no arrangement a port offers (side by side, two rows of "
                                 "two, or stacked). Nothing was changed.");
        break;
    case MonitorArrangement::Fit::TooLarge:
        refusal = QStringLiteral("The monitors take %1 x %2 pixels, more than the desktop's %3 x %4. Nothing was "
                                 "changed.")
                      .arg(arrangement.Width)
                      .arg(arrangement.Height)
                      .arg(model_.MaxDeskX())
                      .arg(model_.MaxDeskY());
        break;
    }
    if (!refusal.isEmpty()) {
        prompts_.messageBox(this, refusal, QStringLiteral("Error"), MsgButtons::Ok);
        return;
    }

    const int port = placingPort();
    if (port == 0)
        return;
    // The questions a port label's click asks: the other side of a
    // master/slave pair, then the monitors already on the port.
    const PortConflict conflict = model_.ConflictOf(port);
    if (!agreesToRemove(conflict))
        return;
    if (model_.PortPlaced(port) &&
        prompts_.messageBox(this, QStringLiteral("%1 has monitors placed. Replace them?").arg(PortName(port - 1)),
                            QStringLiteral("Confirm"), MsgButtons::OkCancel) != MsgAnswer::Ok)
        return;

    history_.Record(command, [this, port, &arrangement, conflict] {
        config_.KvmLayout.MStyle[port] = arrangement.Style;
        model_.PlaceMonitors(port, arrangement.Monitors, conflict.With != PortConflict::Side::None,
                             config_.KvmLayout);
    });
    // The strip shows the port's labels, and the view its first monitor.
    cmbDevice->setCurrentIndex((port - 1) / 4);
    scrollLayout->ensureWidgetVisible(screens_[port]);
    QStringList titles;
    for (std::size_t m = 0; m < arrangement.Monitors.size(); ++m)
        titles << model_.Screens()[static_cast<int>(m) * kPortCount + port].Title;
    StatusBar1->showMessage(QStringLiteral("Placed %1 on %2").arg(titles.join(QStringLiteral(", ")), PortName(port - 1)));
}
