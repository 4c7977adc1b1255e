#include "editor/LayoutHistory.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The editing history on the working layout, without a window.
class LayoutHistoryTest : public testing::Test {
protected:
    void place(int n, PortRect rect)
    {
        layout.Group[n] = 1;
        layout.Port[n] = rect;
    }

    // Every monitor as undo must bring it back, and the selection, as text a
    // failure shows.
    std::string whole() const
    {
        QString text;
        for (const LayoutScreen& s : model.Screens) {
            text += QStringLiteral("%1:%2 %3,%4 %5x%6 r%7%8\n")
                        .arg(s.ScreenNo)
                        .arg(s.ScreenGroup)
                        .arg(s.DeskX)
                        .arg(s.DeskY)
                        .arg(s.DeskWidth)
                        .arg(s.DeskHeight)
                        .arg(s.ResIndex)
                        .arg(s.Portrait ? " portrait" : "");
        }
        return (text + QStringLiteral("selected %1").arg(model.SelectedNo)).toStdString();
    }

    KVM_LAYOUT layout;
    LayoutModel model{CanvasTransform{10}, 6000, 6000};
    LayoutHistory history{model, layout};
};

TEST_F(LayoutHistoryTest, EachStepIsUndoneAndRedoneWhole)
{
    layout.MStyle[1] = 1;  // master port 1 has two monitors: 1A and 1B
    place(1, {0, 0, 1920, 1080});
    place(2, {3000, 500, 2560, 1440});
    place(21, {0, 1080, 1080, 1920});
    auto record = [this](const char* name, std::function<void()> edit) { history.Record(name, edit); };

    struct Step {
        const char* name;
        std::function<void()> select;  // what comes before the step (a press selects)
        std::function<void()> edit;
    };
    const std::vector<Step> steps = {
        {"Load Config", [] {}, [&] { record("Load Config", [&] { model.LoadFromConfig(layout); }); }},
        {"Move 2A",
         [&] {
             model.BeginDrag(2);
             history.Begin();
         },
         [&] {
             model.DragStep(2, -700, 1300);
             model.EndDrag(2);
             history.End("Move 2A");
         }},
        {"Move 1B", [] {},
         [&] {
             for (MoveDirection direction : {MoveDirection::Right, MoveDirection::Right, MoveDirection::Down})
                 history.Record("Move 1B", [&] { model.KeyStep(21, direction, false); }, 21);
         }},
        {"Apply 1B", [] {}, [&] { record("Apply 1B", [&] { model.Apply(3, true, 7000, std::nullopt); }); }},
        {"Delete 2A", [&] { model.Select(2); }, [&] { record("Delete 2A", [&] { model.DeleteSelected(); }); }},
        // Slave 1 takes master port 1's monitors off the canvas.
        {"Place S1.1A", [] {}, [&] { record("Place S1.1A", [&] { model.PlaceFromLabel(5, true); }); }},
        {"Move Down", [] {}, [&] { record("Move Down", [&] { model.MoveLayout(MoveDirection::Down); }); }},
        {"Check", [] {}, [&] { record("Check", [&] { model.CheckLayout(); }); }},
        {"Move Right", [] {}, [&] { record("Move Right", [&] { model.MoveLayout(MoveDirection::Right); }); }},
        {"Move to Top-Left", [] {}, [&] { record("Move to Top-Left", [&] { model.MoveToTopLeft(); }); }},
        {"New Layout", [] {}, [&] { record("New Layout", [&] { model.NewLayout(); }); }},
        {"Reset to Default", [] {}, [&] { record("Reset to Default", [&] { model.LoadFromConfig(layout); }); }},
    };

    const std::string first = whole();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.select();
        const std::string before = whole();
        const int count = history.Steps.count();
        step.edit();
        const std::string after = whole();
        ASSERT_NE(after, before);
        EXPECT_EQ(history.Steps.count(), count + 1);  // a key run is one step
        EXPECT_EQ(history.Steps.undoText(), step.name);

        history.Steps.undo();
        EXPECT_EQ(whole(), before);
        history.Steps.redo();
        EXPECT_EQ(whole(), after);
    }
    const std::string last = whole();
    history.Steps.setIndex(0);
    EXPECT_EQ(whole(), first);
    history.Steps.setIndex(history.Steps.count());
    EXPECT_EQ(whole(), last);

    // Steps that change nothing are none: the layout's top is at 0, and a
    // key run back to where it started.
    const int count = history.Steps.count();
    history.Record("Move Up", [&] { model.MoveLayout(MoveDirection::Up); });
    history.Record("Move 2A", [&] { model.KeyStep(2, MoveDirection::Left, false); }, 2);
    history.Record("Move 2A", [&] { model.KeyStep(2, MoveDirection::Right, false); }, 2);
    EXPECT_EQ(history.Steps.count(), count);
    EXPECT_EQ(whole(), last.substr(0, last.rfind('\n')) + "\nselected 2");
}

TEST_F(LayoutHistoryTest, UndoPutsBackNoMonitorTheStylesNoLongerAllow)
{
    layout.MStyle[1] = 1;
    place(1, {0, 0, 1920, 1080});
    place(21, {1920, 0, 1280, 1024});
    model.LoadFromConfig(layout);
    history.Record("Move 1A", [&] { model.KeyStep(1, MoveDirection::Down, false); }, 1);
    model.Select(21);
    history.Record("Delete 1B", [&] { model.DeleteSelected(); });
    history.Steps.setIndex(0);
    EXPECT_EQ(model.Screens[21].ScreenGroup, 1);
    EXPECT_EQ(model.SelectedNo, 0);

    // The monitor layout dialog gives port 1 one monitor: 1B leaves the
    // canvas, and no undo or redo brings it back.
    layout.MStyle[1] = 0;
    model.RefreshLabels(layout);
    const KVM_LAYOUT styled = layout;
    history.Steps.redo();
    EXPECT_EQ(model.Screens[1].DeskY, 10);
    EXPECT_EQ(model.SelectedNo, 1);
    history.Steps.redo();
    history.Steps.undo();
    EXPECT_EQ(model.Screens[21].ScreenGroup, 0);
    EXPECT_EQ(model.SelectedNo, 0);  // the selection was 1B's
    EXPECT_EQ(model.Screens[1].DeskY, 10);
    EXPECT_TRUE(layout == styled);
}

}  // namespace
