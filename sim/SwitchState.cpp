#include "sim/SwitchState.h"

#include "core/config/Tokens.h"
#include "sim/ConfigReply.h"

#include <charconv>
#include <optional>

namespace {

std::vector<std::string> splitTokens(std::string_view line)
{
    TokenScanner scanner;
    std::vector<std::string> tokens;
    for (std::size_t pos = scanner.NextToken(line, 0); !scanner.Token.empty(); pos = scanner.NextToken(line, pos))
        tokens.push_back(scanner.Token);
    return tokens;
}

// A whole token as a number: decimal with an optional minus sign, or
// hexadecimal digits standing for the 32 bits of the value. Anything else,
// or a value that does not fit, is no number.
std::optional<int32_t> number(const std::string& token, bool hex)
{
    const char* end = token.data() + token.size();
    if (hex) {
        uint32_t value = 0;
        const auto [stop, error] = std::from_chars(token.data(), end, value, 16);
        if (error != std::errc{} || stop != end)
            return std::nullopt;
        return static_cast<int32_t>(value);
    }
    int32_t value = 0;
    const auto [stop, error] = std::from_chars(token.data(), end, value, 10);
    if (error != std::errc{} || stop != end)
        return std::nullopt;
    return value;
}

// The values after the keyword, when there are exactly `count` of them and
// all are numbers.
std::optional<std::vector<int32_t>> values(const std::vector<std::string>& tokens, std::size_t count, bool hex = false)
{
    if (tokens.size() != count + 1)
        return std::nullopt;
    std::vector<int32_t> result;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const std::optional<int32_t> value = number(tokens[i], hex);
        if (!value)
            return std::nullopt;
        result.push_back(*value);
    }
    return result;
}

bool inRange(int32_t index, int last)
{
    return index >= 1 && index <= last;
}

}  // namespace

SwitchState::SwitchState(const KVM_CONFIG& config, const KVM_LAYOUT& layout)
    : storedConfig_(config), storedLayout_(layout), pendingConfig_(config), pendingLayout_(layout)
{
}

CommandResult SwitchState::Execute(std::string_view line)
{
    const std::vector<std::string> tokens = splitTokens(line);
    CommandResult result;
    if (tokens.size() == 1 && tokens[0] == "CONFIG") {
        result.replyLines = ConfigReplyLines(storedConfig_, storedLayout_);
    } else if (tokens.size() == 1 && tokens[0] == "SAVE") {
        storedConfig_ = pendingConfig_;
        storedLayout_ = pendingLayout_;
        result.saved = true;
    } else if (!tokens.empty()) {
        applyUpload(tokens);
    }
    return result;
}

void SwitchState::applyUpload(const std::vector<std::string>& tokens)
{
    const std::string& keyword = tokens[0];

    struct Setting {
        const char* keyword;
        int32_t KVM_CONFIG::*field;
        bool hex;
    };
    static constexpr Setting kSettings[] = {
        {"START", &KVM_CONFIG::Start, false},   {"GLIDEX", &KVM_CONFIG::Glidex, false},
        {"HOTKEY", &KVM_CONFIG::HotKey, false}, {"SLIDER", &KVM_CONFIG::Slider, true},
        {"SWITCHPOS", &KVM_CONFIG::SwitchPos, true},
    };
    for (const Setting& setting : kSettings) {
        if (keyword == setting.keyword) {
            if (const auto v = values(tokens, 1, setting.hex))
                pendingConfig_.*setting.field = (*v)[0];
            return;
        }
    }
    for (int block = 1; block <= 4; ++block) {
        if (keyword == "GROUP" + std::to_string(block)) {
            if (const auto v = values(tokens, kPortCount)) {
                for (int p = 1; p <= kPortCount; ++p)
                    pendingLayout_.Group[(block - 1) * kPortCount + p] = (*v)[p - 1];
            }
            return;
        }
    }
    if (keyword == "MSTYLE") {
        if (const auto v = values(tokens, kPortCount)) {
            for (int p = 1; p <= kPortCount; ++p)
                pendingLayout_.MStyle[p] = (*v)[p - 1];
        }
    } else if (keyword == "PORT") {
        if (const auto v = values(tokens, 5); v && inRange((*v)[0], kScreenCount))
            pendingLayout_.Port[(*v)[0]] = {(*v)[1], (*v)[2], (*v)[3], (*v)[4]};
    } else if (keyword == "MTOTAL") {
        if (const auto v = values(tokens, 3); v && inRange((*v)[0], kPortCount))
            pendingLayout_.MTotal[(*v)[0]] = {(*v)[1], (*v)[2]};
    } else if (keyword == "MCONFIG") {
        if (const auto v = values(tokens, 3); v && inRange((*v)[0], kScreenCount))
            pendingLayout_.MConfig[(*v)[0]] = {(*v)[1], (*v)[2]};
    }
}
