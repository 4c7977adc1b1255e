// Transfers that take a while: the progress dialog appears after half a
// second, counts the lines, and its Cancel stops the transfer before the
// next line. torvik-sim waits before each prompt (--delay-ms) and logs
// every command line it receives.

#include "e2e/ProgramFixture.h"
#include "support/FindWidget.h"
#include "support/QtPrinting.h"
#include "support/Screenshots.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

class TransferProgressTest : public ProgramFixture {
protected:
    void startSwitch(const std::string& delayMs)
    {
        sim = std::make_unique<SimProcess>(std::vector<std::string>{"--delay-ms", delayMs, "--log", log, "--state", state});
        ASSERT_FALSE(sim->path().empty());
    }

    // What the dialog shows `afterMs` into the transfer; then the user presses Cancel.
    struct Seen {
        bool visible = false;
        QString label;
        int value = -1;
        int maximum = -1;
    };
    void cancelAfter(int afterMs, Seen& seen, const char* screenshot)
    {
        QTimer::singleShot(afterMs, setup, [this, &seen, screenshot] {
            auto* dialog = setup->findChild<QProgressDialog*>(QStringLiteral("TransferProgress"));
            ASSERT_NE(dialog, nullptr);
            seen = {dialog->isVisible(), dialog->labelText(), dialog->value(), dialog->maximum()};
            EXPECT_TRUE(SaveScreenshot(dialog, screenshot));
            auto* cancel = dialog->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            cancel->click();
        });
    }

    std::string state = dir.filePath(QStringLiteral("switch.ini")).toStdString();
};

TEST_F(TransferProgressTest, CancellingSaveConfigNeverSendsSaveAndLeavesTheNextTransfersWhole)
{
    startSwitch("20");
    TfrmSetup& w = openWindows(sim->path());
    Seen seen;
    cancelAfter(1500, seen, "sending");
    prompts.answer(MsgAnswer::Ok);
    w.SaveConfig();

    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(seen.label, "Sending configuration");
    EXPECT_EQ(seen.maximum, 191);
    EXPECT_GT(seen.value, 0);
    EXPECT_LT(seen.value, 191);
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].text, "Transfer cancelled! The switch keeps the configuration it had saved.");
    const std::vector<std::string> lines = logged();
    EXPECT_LT(lines.size(), 191u);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "SAVE"), 0);
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(state)));  // the switch stored nothing
    EXPECT_FALSE(transfers->portTarget().Connected());
    QPushButton* btnSaveConfig = FindWidget<QPushButton>(w, "btnSaveConfig");
    EXPECT_TRUE(btnSaveConfig->isEnabled());

    // The next transfers, started from the keyboard, run whole, and the
    // focus stays on the button that started each.
    w.show();
    for (QPushButton* button : {btnSaveConfig, FindWidget<QPushButton>(w, "btnLoadConfig")}) {
        w.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
        button->setFocus();
        prompts.answer(MsgAnswer::Ok);
        QTest::keyClick(button, Qt::Key_Space);
        EXPECT_EQ(w.focusWidget(), button) << button->objectName().toStdString();
    }
    ASSERT_EQ(prompts.boxes().size(), 3u);
    EXPECT_EQ(prompts.boxes()[1].text, "Save Config successed!");
    EXPECT_EQ(prompts.boxes()[2].text, "Load Config finished!");
    const std::vector<std::string> after = logged();
    EXPECT_EQ(after.back(), "CONFIG");
    EXPECT_EQ(std::count(after.begin(), after.end(), "SAVE"), 1);
}

TEST_F(TransferProgressTest, CancellingLoadConfigCommitsNothing)
{
    // The reply lines come at once, the prompt only after a long wait.
    startSwitch("5000");
    TfrmSetup& w = openWindows(sim->path());
    const KVM_CONFIG before = KvmConfig;
    const KVM_LAYOUT layoutBefore = KvmLayout;
    Seen seen;
    cancelAfter(800, seen, "reading");
    prompts.answer(MsgAnswer::Ok);
    EXPECT_EQ(w.LoadConfig(false, true), TransferResult::Cancelled);

    EXPECT_TRUE(seen.visible);
    EXPECT_EQ(seen.label, "Reading configuration");
    EXPECT_EQ(seen.value, 192);
    EXPECT_EQ(prompts.boxes().back().text, "Transfer cancelled! Nothing was loaded.");
    EXPECT_EQ(KvmConfig, before);
    EXPECT_EQ(KvmLayout, layoutBefore);
    EXPECT_FALSE(transfers->portTarget().Connected());
}

}  // namespace
