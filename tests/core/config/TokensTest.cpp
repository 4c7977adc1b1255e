#include "core/config/Tokens.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

std::vector<std::string> tokens(std::string_view text, int calls)
{
    TokenScanner scanner;
    std::vector<std::string> result;
    std::size_t pos = 0;
    for (int i = 0; i < calls; ++i) {
        pos = scanner.NextToken(text, pos);
        result.push_back(scanner.Token);
    }
    return result;
}

int32_t intOf(const char* token)
{
    TokenScanner scanner;
    scanner.Token = token;
    return scanner.TokenToInt();
}

int32_t hexOf(const char* token)
{
    TokenScanner scanner;
    scanner.Token = token;
    return scanner.TokenToHex();
}

TEST(Tokens, NextTokenSplitsAtSpacesOnlyAndYieldsEmptyTokensAtTheEnd)
{
    EXPECT_EQ(tokens("  Port 3  12", 5), (std::vector<std::string>{"Port", "3", "12", "", ""}));
    EXPECT_EQ(tokens("a\tb c", 3), (std::vector<std::string>{"a\tb", "c", ""}));
    EXPECT_EQ(tokens("", 2), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(tokens("   ", 1), (std::vector<std::string>{""}));

    // The returned position is the character that ended the token.
    TokenScanner scanner;
    EXPECT_EQ(scanner.NextToken("ab cd", 0), 2u);
    EXPECT_EQ(scanner.NextToken("ab cd", 2), 5u);
    EXPECT_EQ(scanner.NextToken("ab cd", 99), 99u);
    EXPECT_EQ(scanner.Token, "");
}

TEST(Tokens, TokenToIntReadsLeadingDecimalDigitsAndWrapsLike32BitArithmetic)
{
    EXPECT_EQ(intOf("1920"), 1920);
    EXPECT_EQ(intOf("12ab"), 12);
    EXPECT_EQ(intOf("-5"), 0);
    EXPECT_EQ(intOf("+5"), 0);
    EXPECT_EQ(intOf(""), 0);
    EXPECT_EQ(intOf("2147483647"), 2147483647);
    EXPECT_EQ(intOf("2147483648"), INT32_MIN);
    EXPECT_EQ(intOf("4294967295"), -1);
    EXPECT_EQ(intOf("4294967296"), 0);
    EXPECT_EQ(intOf("99999999999"), 1215752191);  // 99999999999 mod 2^32
}

TEST(Tokens, TokenToHexReadsLeadingHexDigitsWithoutPrefix)
{
    EXPECT_EQ(hexOf("85"), 133);
    EXPECT_EQ(hexOf("ff"), 255);
    EXPECT_EQ(hexOf("FF"), 255);
    EXPECT_EQ(hexOf("8G"), 8);
    EXPECT_EQ(hexOf("0x85"), 0);
    EXPECT_EQ(hexOf("1A"), 26);
    EXPECT_EQ(hexOf("FFFFFFFF"), -1);
    EXPECT_EQ(hexOf("123456789"), 0x23456789);
}

TEST(Tokens, ReadNumbersFillsMissingWithZeroAndIgnoresSurplus)
{
    TokenScanner scanner;
    std::array<int32_t, 4> numbers{9, 9, 9, 9};
    scanner.ReadNumbers("10 -10 20", numbers);
    EXPECT_EQ(numbers, (std::array<int32_t, 4>{10, 0, 20, 0}));

    scanner.ReadNumbers("1 2 3 4 5 6", numbers);
    EXPECT_EQ(numbers, (std::array<int32_t, 4>{1, 2, 3, 4}));

    scanner.ReadNumbers("", numbers);
    EXPECT_EQ(numbers, (std::array<int32_t, 4>{0, 0, 0, 0}));
}

}  // namespace
