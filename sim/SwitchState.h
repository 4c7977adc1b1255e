#pragma once

#include "core/config/KvmConfig.h"

#include <string>
#include <string_view>
#include <vector>

// What one command line produced: the reply lines that go before the prompt
// (without line endings), and whether it stored the pending configuration.
struct CommandResult {
    std::vector<std::string> replyLines;
    bool saved = false;
};

// The configuration a switch keeps and the commands that read and change it.
// Upload commands ("START", "GROUP1", "PORT", ...) change a pending copy;
// "SAVE" makes the pending copy the stored one; "CONFIG" reports the stored
// one. Unknown and malformed commands (wrong keyword, wrong number of values,
// a value that is not a number, an index out of range) change nothing.
class SwitchState {
public:
    SwitchState(const KVM_CONFIG& config, const KVM_LAYOUT& layout);

    CommandResult Execute(std::string_view line);

    const KVM_CONFIG& storedConfig() const { return storedConfig_; }
    const KVM_LAYOUT& storedLayout() const { return storedLayout_; }

private:
    // Applies an upload command to the pending copy; unknown and malformed
    // commands are left out.
    void applyUpload(const std::vector<std::string>& tokens);

    KVM_CONFIG storedConfig_;
    KVM_LAYOUT storedLayout_;
    KVM_CONFIG pendingConfig_;
    KVM_LAYOUT pendingLayout_;
};
