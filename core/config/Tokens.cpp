#include "core/config/Tokens.h"

std::size_t TokenScanner::NextToken(std::string_view text, std::size_t pos)
{
    Token.clear();
    while (pos < text.size() && text[pos] == ' ')
        ++pos;
    const std::size_t start = pos;
    while (pos < text.size() && text[pos] != ' ')
        ++pos;
    Token.assign(text.substr(start < text.size() ? start : text.size(), pos - start));
    return pos;
}

namespace {

int digitValue(char c, uint32_t base)
{
    int value = -1;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    return value >= 0 && static_cast<uint32_t>(value) < base ? value : -1;
}

int32_t tokenToNumber(std::string_view token, uint32_t base)
{
    uint32_t value = 0;
    for (char c : token) {
        const int digit = digitValue(c, base);
        if (digit < 0)
            break;
        value = value * base + static_cast<uint32_t>(digit);
    }
    return static_cast<int32_t>(value);
}

}  // namespace

int32_t TokenScanner::TokenToInt() const
{
    return tokenToNumber(Token, 10);
}

int32_t TokenScanner::TokenToHex() const
{
    return tokenToNumber(Token, 16);
}

void TokenScanner::ReadNumbers(std::string_view value, std::span<int32_t> numbers)
{
    std::size_t pos = 0;
    for (int32_t& number : numbers) {
        pos = NextToken(value, pos);
        number = TokenToInt();
    }
}
