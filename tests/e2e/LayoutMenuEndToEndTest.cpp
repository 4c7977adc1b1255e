// The layout editor's Layout menu, with the setup window behind it and
// torvik-sim at the other end of the line.

#include "core/config/LayoutFile.h"
#include "e2e/ProgramFixture.h"
#include "support/FindWidget.h"
#include "support/QtPrinting.h"
#include "support/Screenshots.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>


namespace {

class LayoutMenuTest : public ProgramFixture {
protected:
    void place(int n, PortRect rect)
    {
        KvmLayout.Group[n] = 1;
        KvmLayout.Port[n] = rect;
    }

    // The editor, with KvmLayout as the settings file's layout.
    TfrmGlidex& openEditor(const std::string& device = "/nonexistent/tty")
    {
        EXPECT_EQ(WriteLayoutFile(settings, KvmLayout, true).status, FileResult::Status::Done);
        openWindows(device);
        return *editor;
    }

    void startSwitch(const std::vector<std::string>& commands)
    {
        const std::string state = dir.filePath(QStringLiteral("switch.ini")).toStdString();
        {
            SimProcess plain({"--state", state});
            SwitchLine line(plain.path());
            for (const std::string& command : commands)
                ASSERT_FALSE(line.exchange(command).empty()) << command;
        }
        sim = std::make_unique<SimProcess>(std::vector<std::string>{"--state", state, "--log", log});
        ASSERT_FALSE(sim->path().empty());
    }

    int placedCount() const
    {
        int placed = 0;
        for (int n = 1; n <= kScreenCount; ++n)
            placed += screen(n).ScreenGroup != 0;
        return placed;
    }

    // The editor's menus and actions by their object names, and the monitor
    // a tile shows.
    template <typename T = QAction>
    T* find(const char* name) const
    {
        return FindWidget<T>(*editor, QLatin1String(name));
    }
    const LayoutScreen& screen(int n) const
    {
        return FindWidget<TScreen>(*editor, QStringLiteral("Screen%1").arg(n))->Data;
    }
};

TEST_F(LayoutMenuTest, NewLayoutAsksOnlyWhenTilesArePlaced)
{
    place(1, {100, 0, 1280, 1024});
    TfrmGlidex& w = openEditor();
    prompts.answer(MsgAnswer::Cancel);
    find("mnuNew")->trigger();
    EXPECT_EQ(placedCount(), 1);
    EXPECT_EQ(screen(1).DeskX, 100);

    prompts.answer(MsgAnswer::Ok);
    find("mnuNew")->trigger();
    EXPECT_EQ(placedCount(), 0);
    EXPECT_EQ(screen(1).DeskRight(), 1920);
    EXPECT_EQ(screen(1).DeskX, 0);
    EXPECT_EQ(prompts.boxes().back().text, "Delete all?");

    find("mnuNew")->trigger();  // nothing placed: no question
    EXPECT_EQ(prompts.boxes().size(), 2u);

    w.show();
    QMenu* mnuLayout = find<QMenu>("mnuLayout");
    mnuLayout->popup(w.mapToGlobal(QPoint(0, find<QMenuBar>("MainMenu")->height())));
    EXPECT_TRUE(SaveScreenshot(mnuLayout, "open"));
    mnuLayout->hide();
    w.StoreToConfig();
    EXPECT_EQ(KvmLayout.Port[80], (PortRect{0, 0, 1920, 1080}));
}

TEST_F(LayoutMenuTest, ExportAndImportMoveTheTilesThroughALayoutFile)
{
    KvmLayout.MStyle[2] = 1;  // two monitors on the Master's port 2
    place(2, {0, 0, 2560, 1440});
    place(22, {2560, 0, 1920, 1080});
    openEditor();
    const QString file = dir.filePath(QStringLiteral("desk.gxl"));
    prompts.chooseFile(file);
    find("mnuExport")->trigger();
    EXPECT_TRUE(prompts.boxes().empty());  // a new file: no question
    const std::string exported = ReadFileBytes(file);

    prompts.answer(MsgAnswer::Ok);
    find("mnuNew")->trigger();
    prompts.chooseFile(file);
    prompts.answer(MsgAnswer::No);
    find("mnuExport")->trigger();  // the file exists: asked, and left alone
    EXPECT_EQ(prompts.boxes().back().text, file + " already exists, do you want to replace it?");
    EXPECT_EQ(prompts.boxes().back().buttons, MsgButtons::YesNo);
    EXPECT_EQ(ReadFileBytes(file), exported);
    EXPECT_EQ(KvmLayout.Group[2], 0);  // the tiles were stored all the same

    prompts.chooseFile(file);
    find("mnuImport")->trigger();
    EXPECT_EQ(placedCount(), 2);
    EXPECT_EQ(screen(22).DeskX, 2560);

    prompts.chooseFile(dir.filePath(QStringLiteral("missing.gxl")));
    find("mnuImport")->trigger();
    EXPECT_EQ(placedCount(), 2);
}

TEST_F(LayoutMenuTest, MonitorLayoutAppliedTakesSurplusTilesOffTheCanvas)
{
    KvmLayout.MStyle[2] = 1;
    place(2, {0, 0, 1920, 1080});
    place(22, {1920, 0, 1920, 1080});
    TfrmGlidex& w = openEditor();
    w.MonitorLayoutDialog = [] { return false; };  // cancelled
    find("mnuMonitorLayout")->trigger();
    EXPECT_EQ(placedCount(), 2);
    w.MonitorLayoutDialog = [this] {
        KvmLayout.MStyle[2] = 0;
        return true;
    };
    find("mnuMonitorLayout")->trigger();
    EXPECT_EQ(screen(22).ScreenGroup, 0);
    EXPECT_EQ(screen(2).ScreenGroup, 1);
}

TEST_F(LayoutMenuTest, LoadLayoutFromTheSwitchKeepsTheSettings)
{
    startSwitch({"START 4", "PORT 5 1920 0 1280 1024", "GROUP1 0 0 0 0 1 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0", "SAVE"});
    openEditor(sim->path());
    prompts.answer(MsgAnswer::Ok);
    find("mnuLoadLayout")->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(prompts.boxes().back().text, "Load Layout finished!");
    EXPECT_EQ(KvmConfig.Start, 1);
    EXPECT_EQ(screen(5).ScreenGroup, 1);
    EXPECT_EQ(screen(5).DeskX, 1920);
    EXPECT_EQ(placedCount(), 1);
}

TEST_F(LayoutMenuTest, SendLayoutChecksMovesAndSends)
{
    startSwitch({});
    place(1, {500, 300, 1920, 1080});
    place(2, {2419, 300, 1920, 1080});  // one pixel over tile 1
    TfrmGlidex& w = openEditor(sim->path());
    prompts.answer(MsgAnswer::Ok);
    find("mnuSaveLayout")->trigger();
    EXPECT_EQ(prompts.boxes().back().caption, "Error");
    EXPECT_TRUE(logged().empty());

    prompts.answer(MsgAnswer::Ok);
    find("mnuNew")->trigger();  // asks "Delete all?"
    KvmLayout.Port[2] = {2420, 300, 1920, 1080};
    w.LoadFromConfig(QStringLiteral("Load Config"));
    prompts.answer(MsgAnswer::Ok);
    find("mnuSaveLayout")->trigger();
    EXPECT_EQ(prompts.boxes().back().text, "Send Layout to Torvik successed!");
    const std::vector<std::string> lines = logged();
    ASSERT_EQ(lines.size(), 186u);
    EXPECT_EQ(lines[4], "PORT 1 0 0 1920 1080");  // moved to the top-left first
    EXPECT_EQ(lines[5], "PORT 2 1920 0 1920 1080");
    KVM_LAYOUT filed;
    ASSERT_EQ(ReadLayoutFile(settings, filed).status, FileResult::Status::Done);
    EXPECT_EQ(filed.Port[2], (PortRect{1920, 0, 1920, 1080}));
}

}  // namespace
