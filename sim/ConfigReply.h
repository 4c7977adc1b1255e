#pragma once

#include "core/config/KvmConfig.h"

#include <string>
#include <vector>

// The lines the switch sends in answer to "CONFIG", without line endings:
// "ConfigVer", "Start", "Glidex", "HotKey", "Slider", "SwitchPos", "Layout",
// "Group1".."Group4", 80 "Port", "MStyle", 20 "MTotal" and 80 "MConfig"
// lines, 192 in all, in this order. ConfigVer, Slider and SwitchPos are
// hexadecimal (upper case), everything else decimal.
std::vector<std::string> ConfigReplyLines(const KVM_CONFIG& config, const KVM_LAYOUT& layout);
