#pragma once

#include "setup/KvmConfig.h"

#include <QString>

class ProfileFile;

// A settings file (or, for the layout alone, a layout file) as the command
// line sends it: read the way the setup window reads its settings file, and
// its layout checked and stored the way Save Config does, so that it gives
// the very lines Save Config (or Send Layout) would send for it.
struct FileConfig {
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    // Why the file cannot be sent: a section missing, or the check's
    // message for overlapping monitors; empty when it can.
    QString error;
};

// `file` must have been read. The "Setup" section is needed unless
// `layoutOnly`, the "Layout" section always: a file without them is no
// configuration, and sending it would wipe the switch's.
FileConfig LoadFileConfig(const ProfileFile& file, bool layoutOnly);
