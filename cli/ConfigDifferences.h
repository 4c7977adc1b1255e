#pragma once

#include "setup/KvmConfig.h"

#include <QStringList>

// What differs between the configuration a switch holds and the one a file
// holds, one line each in words a person reads:
//   "Start: switch 2, file 3"
//   "2A: switch 1920 x 1080 at 0, 0; file 1920 x 1080 at 1920, 0"
//   "S1.3B: switch not placed; file 1280 x 1024 at 0, 1080"
//   "Style 2: switch 1, file 3"
// The settings by their keys in the settings file, then every monitor whose
// group or place differs (a monitor placed on neither side has no place),
// then each computer port's style and total size and each monitor's offset
// within its port. With `layoutOnly`, the layout alone.
QStringList ConfigDifferences(const KVM_CONFIG& switchConfig, const KVM_LAYOUT& switchLayout,
                              const KVM_CONFIG& fileConfig, const KVM_LAYOUT& fileLayout, bool layoutOnly);
