// A cable pulled in the middle of a transfer, and plugged in again: the
// switch's line hangs up (or its simulator dies), the transfer ends with its
// own error message, and once a switch answers on the same device path again
// the next Load Config works without restarting the utility.

#include "e2e/ProgramFixture.h"
#include "support/FindWidget.h"
#include "support/QtPrinting.h"

#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace {

class UnplugEndToEndTest : public ProgramFixture {
protected:
    void plugIn(std::vector<std::string> options = {})
    {
        options.insert(options.end(), {"--link", link});
        sim = std::make_unique<SimProcess>(options);
        ASSERT_FALSE(sim->path().empty());
    }

    // After the line came back: a full Load Config succeeds on the same window.
    void expectLoadWorks(TfrmSetup& w)
    {
        plugIn();
        prompts.answer(MsgAnswer::Ok);
        EXPECT_EQ(w.LoadConfig(false, true), TransferResult::Done);
        EXPECT_EQ(prompts.boxes().back().text, "Load Config finished!");
        EXPECT_FALSE(transfers->portTarget().Connected());
        EXPECT_TRUE(FindWidget<QPushButton>(w, "btnLoadConfig")->isEnabled());
    }

    std::string link = dir.filePath(QStringLiteral("switch.tty")).toStdString();
};

TEST_F(UnplugEndToEndTest, HangUpDuringSaveConfig)
{
    plugIn({"--hangup-after", "20"});
    TfrmSetup& w = openWindows(link);
    prompts.answer(MsgAnswer::Ok);
    w.SaveConfig();
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].text, "COM port error! Please try again.");
    EXPECT_FALSE(transfers->portTarget().Connected());
    sim->waitForExit();

    expectLoadWorks(w);
}

TEST_F(UnplugEndToEndTest, SwitchGoneDuringLoadConfig)
{
    // The reply lines arrive, then the switch dies before its prompt.
    plugIn({"--delay-ms", "5000"});
    TfrmSetup& w = openWindows(link);
    QTimer::singleShot(300, &w, [this] { sim->stop(SIGKILL); });
    prompts.answer(MsgAnswer::Ok);
    EXPECT_EQ(w.LoadConfig(false, true), TransferResult::NoReply);
    EXPECT_EQ(prompts.boxes().back().text, "Load Config error!");
    EXPECT_FALSE(transfers->portTarget().Connected());

    expectLoadWorks(w);
}

}  // namespace
