#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// The scanner that splits the switch's reply lines and the number lists of
// layout files into space-separated tokens. Each reader owns one; it holds
// the current token.
class TokenScanner {
public:
    // Clears Token, skips spaces (byte 32 only), takes the characters up to
    // the next space or the end of the text into Token and returns the
    // position of the character that ended the token (text.size() at the
    // end). Past the end every call yields an empty token.
    std::size_t NextToken(std::string_view text, std::size_t pos);

    // Token as an unsigned decimal: digits are taken from the first character
    // up to the first non-digit. No sign, no overflow check: the value wraps
    // like 32-bit arithmetic. An empty token gives 0.
    int32_t TokenToInt() const;

    // The same in base 16 with digits 0-9, A-F and a-f; no prefix is recognised.
    int32_t TokenToHex() const;

    // Splits a value into numbers with NextToken and TokenToInt, one for each
    // element of `numbers`; missing numbers are 0, surplus numbers are ignored.
    void ReadNumbers(std::string_view value, std::span<int32_t> numbers);

    std::string Token;
};
