#include "gui/dialogs/DebugWindow.h"

#include "gui/setup/SetupWindow.h"

#include "core/platform/EventPump.h"
#include "support/FakePrompts.h"
#include "support/FindWidget.h"
#include "support/IdleTransfers.h"
#include "support/Screenshots.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(DebugWindow, StartsHiddenAndExitOnlyHidesIt)
{
    TfrmDebug frmDebug;
    auto* Memo1 = FindWidget<QPlainTextEdit>(frmDebug, QStringLiteral("Memo1"));
    auto* Exit = FindWidget<QPushButton>(frmDebug, QStringLiteral("Exit"));
    ASSERT_TRUE(Memo1 && Exit);
    EXPECT_FALSE(frmDebug.isVisible());
    EXPECT_EQ(frmDebug.windowTitle(), "frmDebug");
    EXPECT_EQ(Memo1->toPlainText(), "Memo1");
    EXPECT_EQ(Memo1->geometry(), QRect(24, 16, 625, 417));
    EXPECT_EQ(Exit->geometry(), QRect(272, 448, 129, 33));
    EXPECT_TRUE(frmDebug.rect().contains(Exit->geometry()));
    EXPECT_TRUE(SaveScreenshot(&frmDebug));

    frmDebug.show();
    Exit->click();
    EXPECT_FALSE(frmDebug.isVisible());
}

TEST(DebugWindow, ClosingTheSetupWindowEndsTheProgramEvenWhileTheDebugWindowIsShown)
{
    QTemporaryDir dir;
    FakePrompts prompts;
    IdleTransfers line;
    TfrmSetup frmSetup(prompts, line.config, line.transfers, line.discovery,
                       dir.filePath(QStringLiteral("TORVIK.INI")));
    TfrmDebug frmDebug;
    frmSetup.show();
    frmDebug.show();

    QTimer::singleShot(0, &frmSetup, &QWidget::close);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(2); });  // only if the loop never ends
    EXPECT_EQ(QApplication::exec(), 0);
}

}  // namespace
