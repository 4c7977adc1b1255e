#pragma once

#include "core/config/FileResult.h"
#include "core/config/KvmConfig.h"
#include "core/config/ReplaceFileContents.h"

#include <QString>

#include <cstdint>

// The "Layout" section shared by the settings file and ".gxl" layout files,
// and the "Setup" section of the settings file.

class ProfileFile;

inline constexpr std::string_view kLayoutSection = "Layout";
inline constexpr std::string_view kSetupSection = "Setup";

// Done: read, every entry replaced (missing keys give 0); Missing: no such
// file; Failed: the file could not be read. Unless Done, `layout` is unchanged.
FileResult ReadLayoutFile(const QString& fileName, KVM_LAYOUT& layout);
// The same from a document in memory, which has been read.
KVM_LAYOUT ReadLayout(const ProfileFile& file);

// Done: every key of the section written; Exists: `overwrite` is off and
// the file exists, nothing written; Failed: the file could not be written
// and was left unchanged.
FileResult WriteLayoutFile(const QString& fileName, const KVM_LAYOUT& layout, bool overwrite,
                           MissingFolder missingFolder = MissingFolder::Fail);
// Every key of the section into a document in memory.
void WriteLayout(ProfileFile& file, const KVM_LAYOUT& layout);

// A file named on the command line is read strictly, so that what is sent is
// what the file says: Failed, naming the first key whose value cannot be read
// as its key needs, its line and what it needs, and then `layout` or
// `settings` unchanged. Missing keys read as the lenient readers read them.
//   "Layout": each number a decimal of 0 or more, separated by spaces;
//   PortN, MTotalN and MConfigN hold all their numbers, Group and MStyle up
//   to one per index.
//   "Setup": each key sent (not COMPort) holds a number as readInteger reads
//   one, optionally followed by a blank and any text ("3 ; power-up port").
FileResult ReadLayoutStrictly(const ProfileFile& file, KVM_LAYOUT& layout);
FileResult ReadSetupStrictly(const ProfileFile& file, SetupSettings& settings);

// The six keys of section "Setup" (SetupSettings).
SetupSettings ReadSetupSection(const QString& fileName);
// The same from a document in memory.
SetupSettings ReadSetup(const ProfileFile& file);

// Writes the six keys in one replacement of the file: Done, or Failed with
// the file unchanged.
FileResult WriteSetupSection(const QString& fileName, const SetupSettings& settings);
// The six keys into a document in memory.
void WriteSetup(ProfileFile& file, const SetupSettings& settings);

// The settings of the "Setup" keys as they stand.
KVM_CONFIG SettingsOf(const SetupSettings& settings);
// The settings as the setup window takes them from its settings file: the
// range rules applied.
KVM_CONFIG FiledConfig(const SetupSettings& settings);
// The "Setup" keys for the settings `config` and COM name `comPort`.
SetupSettings FileSettings(int32_t comPort, const KVM_CONFIG& config);
