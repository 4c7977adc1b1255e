#include "gui/platform/QtPrompts.h"

#include "support/QtPrinting.h"

#include <gtest/gtest.h>

namespace {

TEST(QtPrompts, FileFiltersBecomeQtNameFilters)
{
    // The description already names its pattern: Qt reads it from there.
    EXPECT_EQ(QtFileFilter(QStringLiteral("Glidex Layout (*.gxl)|*.gxl")), QStringLiteral("Glidex Layout (*.gxl)"));
    // Otherwise the patterns are added; several are separated by spaces.
    EXPECT_EQ(QtFileFilter(QStringLiteral("Logs|*.txt;*.log|All files|*")),
              QStringLiteral("Logs (*.txt *.log);;All files (*)"));
    EXPECT_EQ(QtFileFilter(QString()), QString());
}

}  // namespace
