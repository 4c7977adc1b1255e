#pragma once

#include "core/config/FileResult.h"
#include "core/config/KvmConfig.h"
#include "core/link/ReplyLines.h"

#include <QString>
#include <QStringList>

class ProfileFile;

// A settings file (or, for the layout alone, a layout file) as the command
// line sends and compares it.
struct FileConfig {
    // Missing, or Failed with the reason, when the file cannot be read, is
    // no configuration at all (a section missing) or holds a value that
    // cannot be read as its key needs ("line 9: Port2: expected ..."), in
    // which case nothing below is filled.
    FileResult loaded;
    // Its settings and layout as they stand: the "Setup" values as written
    // there, without the range rules, and the "Layout" tables as read.
    KVM_CONFIG filedConfig;
    KVM_LAYOUT filedLayout;
    // Which entries of the tables keyed an index each ("Port5", "MTotal2")
    // the file holds, as the lines of a reply would hold them.
    ReplyLines filedEntries;
    // Failed, with the reason, when --write refuses it: keys a layout needs
    // are missing, or monitors overlap (the check's message).
    FileResult sendable;
    // What --write sends for it: read the way the setup window reads its
    // settings file, and its layout checked and stored the way Save Config
    // does (moved to the top-left corner, totals and offsets worked out), so
    // that it gives the very lines Save Config (or Send Layout) would send.
    KVM_CONFIG config;
    KVM_LAYOUT layout;
    // What the switch holds when it holds the file: what is sent, except
    // that a monitor sending leaves out keeps the file's place.
    KVM_LAYOUT heldLayout;
    // Where what is sent is not what the file says, one line each: a
    // setting out of range sent as its default, a monitor left out
    // ("line 3: Start=9 is out of range; 1 is sent instead").
    QStringList warnings;
};

// `file` as read (a file that could not be read gives its reason). The
// values are read strictly (ReadSetupStrictly, ReadLayoutStrictly). The
// "Setup" section is needed unless
// `layoutOnly`, the "Layout" section always; to be sent, the layout section
// needs the keys that say where the monitors stand (see the .cpp): a file
// without them would wipe the switch's layout.
FileConfig LoadFileConfig(const ProfileFile& file, bool layoutOnly);

// What --read writes for a switch's configuration: the "Setup" keys (with
// `comPort`; the switch position as the setup window shows it) unless
// `layoutOnly`, and every "Layout" key; with `sent`, the keys of table
// entries the switch did not send are left out (and taken out of the file),
// so that nothing the switch did not say stands as its value.
void WriteConfig(ProfileFile& file, int32_t comPort, const KVM_CONFIG& config, const KVM_LAYOUT& layout,
                 bool layoutOnly, const ReplyLines* sent = nullptr);

// `config` and `layout` as a file holds them: written as --read writes them
// and read back, so that values the file cannot hold compare as the file
// would hold them.
void ToFiledForm(KVM_CONFIG& config, KVM_LAYOUT& layout);
