#pragma once

#include "core/config/KvmConfig.h"

// A fresh configuration, its four records reachable by the names the code
// gives them, so a test reads like the code it checks (KvmLayout.Port[n]).
struct ConfigRecordsFixture {
    ConfigRecords config;
    KVM_CONFIG& KvmConfig = config.KvmConfig;
    KVM_LAYOUT& KvmLayout = config.KvmLayout;
    KVM_CONFIG& RxConfig = config.RxConfig;
    KVM_LAYOUT& RxLayout = config.RxLayout;
};
