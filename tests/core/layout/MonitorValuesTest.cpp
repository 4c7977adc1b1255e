#include "core/layout/MonitorValues.h"

#include <gtest/gtest.h>

namespace {

TEST(MonitorValues, SizesFindTheirResolutionEntryInEitherOrientation)
{
    struct Case {
        int32_t width;
        int32_t height;
        ResolutionMatch expected;
    };
    const Case cases[] = {
        {1920, 1080, {10, false}}, {1080, 1920, {10, true}}, {640, 480, {0, false}}, {2160, 4096, {20, true}},
        // Sizes without an entry keep their own, turned when higher than wide.
        {1000, 2000, {kOwnSize, true}},  {1024, 1024, {kOwnSize, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MatchResolution(c.width, c.height), c.expected) << c.width << " x " << c.height;
}

TEST(MonitorValues, TypedPositionsAreDecimal32BitIntegers)
{
    EXPECT_EQ(ParseDeskPosition(QStringLiteral("-250")), -250);
    EXPECT_EQ(ParseDeskPosition(QStringLiteral("12x")), std::nullopt);
    EXPECT_EQ(ParseDeskPosition(QStringLiteral("0x10")), std::nullopt);
    EXPECT_EQ(ParseDeskPosition(QStringLiteral("-1000000001")), -1000000001);
    EXPECT_EQ(ParseDeskPosition(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(ParseDeskPosition(QStringLiteral("2147483648")), std::nullopt);
    EXPECT_EQ(ParseDeskPosition(QStringLiteral("-2147483648")), INT32_MIN);
    EXPECT_EQ(ParseDeskPosition(QStringLiteral("-2147483649")), std::nullopt);
}

}  // namespace
