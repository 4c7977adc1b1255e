#pragma once

#include "core/config/KvmConfig.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>

struct FileConfig;
class ReplyLines;

// One item on which the switch and a file differ, and the two values: a
// setting or a style as a number; a monitor's place as {"group", "x", "y",
// "width", "height"}, or null when it is not placed; a computer port's
// total size as {"width", "height"}; a monitor's offset as {"x", "y"}; on
// the switch's side, "not sent" for an entry its reply left out.
struct ConfigDifference {
    QString item;  // "Start", "2A", "S1.3B", "Style 2", "Total 2", "Offset 2B"
    QJsonValue onSwitch;
    QJsonValue inFile;
};

// What differs between two configurations: the settings by their keys in
// the settings file, then every monitor whose group or place differs (a
// monitor placed on neither side has no place), then each computer port's
// style and total size and each monitor's offset within its port. With
// `layoutOnly`, the layout alone. With `sent`, the switch's configuration
// came in a reply that holds these lines: a total or offset it left out is
// unknown, and differs ("not sent") from any the file gives, which is every
// one unless `filed` names the entries the file holds.
QList<ConfigDifference> ConfigDifferences(const KVM_CONFIG& switchConfig, const KVM_LAYOUT& switchLayout,
                                          const KVM_CONFIG& fileConfig, const KVM_LAYOUT& fileLayout,
                                          bool layoutOnly, const ReplyLines* sent = nullptr,
                                          const ReplyLines* filed = nullptr);

// What --compare reports. The switch holds what `file` holds when its
// configuration, in the form --read would write it, equals the file's as
// it stands, or equals what --write would send for the file (in the same
// form) with the file's own settings and monitors: the layout's move to
// the top-left corner and its worked-out totals count as the file's, a
// setting sent as its default or a monitor left out does not. So a file
// just read from a switch, and one just written to it without warnings,
// both compare without differences. Otherwise the differences from the
// nearer of the two (fewer differences; the file as it stands on a tie).
QList<ConfigDifference> SwitchFileDifferences(const KVM_CONFIG& switchConfig, const KVM_LAYOUT& switchLayout,
                                              const FileConfig& file, bool layoutOnly,
                                              const ReplyLines* sent = nullptr);

// One line a person reads:
//   "Start: switch 2, file 3"
//   "2A: switch 1920 x 1080 at 0, 0; file 1920 x 1080 at 1920, 0"
//   "S1.3B: switch not placed; file 1280 x 1024 at 0, 1080"
//   "Style 2: switch 1, file 3"
QString DifferenceLine(const ConfigDifference& difference);
// {"item": ..., "switch": ..., "file": ...}
QJsonObject DifferenceJson(const ConfigDifference& difference);
