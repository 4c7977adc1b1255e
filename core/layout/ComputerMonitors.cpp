#include "core/layout/ComputerMonitors.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// Bounds of what a monitor list may hold: the sizes of real monitors, and
// positions and scales far beyond any real desktop but small enough for
// every sum of them to stay exact.
constexpr int kMaxMonitorSide = 32767;
constexpr int kMaxPosition = 1 << 24;
constexpr double kMaxScale = 16.0;
constexpr int kMaxMonitors = 64;

// `value` as an integer in [low, high], if it is one.
std::optional<int32_t> whole(const QJsonValue& value, int low, int high)
{
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::floor(number) || number < low || number > high)
        return std::nullopt;
    return static_cast<int32_t>(number);
}

}  // namespace

QString MonitorsText(const std::vector<ComputerMonitor>& monitors)
{
    QString text;
    for (const ComputerMonitor& monitor : monitors)
        text += QStringLiteral("%1\t%2 x %3 at %4, %5\tscale %6\n")
                    .arg(monitor.Name)
                    .arg(monitor.Width)
                    .arg(monitor.Height)
                    .arg(monitor.X)
                    .arg(monitor.Y)
                    .arg(monitor.Scale);
    return text;
}

QByteArray MonitorsJson(const std::vector<ComputerMonitor>& monitors)
{
    QJsonArray screens;
    for (const ComputerMonitor& monitor : monitors)
        screens.append(QJsonObject{{"name", monitor.Name},
                                   {"x", monitor.X},
                                   {"y", monitor.Y},
                                   {"width", monitor.Width},
                                   {"height", monitor.Height},
                                   {"scale", monitor.Scale}});
    return QJsonDocument(QJsonObject{{"screens", screens}}).toJson();
}

MonitorsRead ReadMonitorsJson(const QByteArray& json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (parseError.error != QJsonParseError::NoError)
        return {{}, QStringLiteral("not JSON (%1 at byte %2)").arg(parseError.errorString()).arg(parseError.offset)};
    const QJsonValue screens = document.object().value(QLatin1String("screens"));
    if (!screens.isArray())
        return {{}, QStringLiteral("no \"screens\" list")};
    const QJsonArray list = screens.toArray();
    if (list.size() > kMaxMonitors)
        return {{}, QStringLiteral("more than %1 monitors").arg(kMaxMonitors)};

    MonitorsRead read;
    for (qsizetype i = 0; i < list.size(); ++i) {
        const QJsonObject entry = list[i].toObject();
        const std::optional<int32_t> x = whole(entry.value(QLatin1String("x")), -kMaxPosition, kMaxPosition);
        const std::optional<int32_t> y = whole(entry.value(QLatin1String("y")), -kMaxPosition, kMaxPosition);
        const std::optional<int32_t> width = whole(entry.value(QLatin1String("width")), 1, kMaxMonitorSide);
        const std::optional<int32_t> height = whole(entry.value(QLatin1String("height")), 1, kMaxMonitorSide);
        // A list written without scales is of monitors at 100 %.
        const QJsonValue scaleValue = entry.value(QLatin1String("scale"));
        const double scale = scaleValue.isUndefined() ? 1.0 : scaleValue.toDouble(0.0);
        if (!x || !y || !width || !height || !(scale > 0.0 && scale <= kMaxScale))
            return {{}, QStringLiteral("monitor %1 lacks a valid x, y, width, height or scale").arg(i + 1)};
        read.Monitors.push_back(
            {entry.value(QLatin1String("name")).toString(), *x, *y, *width, *height, scale});
    }
    return read;
}
