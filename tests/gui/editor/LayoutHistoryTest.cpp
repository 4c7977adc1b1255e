#include "gui/editor/LayoutHistory.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

// The selection and every monitor as undo must bring it back, as text a
// failure shows.
std::string whole(const LayoutModel& model)
{
    QString text = QStringLiteral("selected %1").arg(model.SelectedNo());
    for (const LayoutScreen& s : model.Screens()) {
        text += QStringLiteral("\n%1: %2 %3,%4 %5x%6 r%7 %8")
                    .arg(s.ScreenNo)
                    .arg(s.ScreenGroup)
                    .arg(s.DeskX)
                    .arg(s.DeskY)
                    .arg(s.DeskWidth)
                    .arg(s.DeskHeight)
                    .arg(s.ResIndex)
                    .arg(s.Portrait);
    }
    return text.toStdString();
}

TEST(LayoutHistoryTest, EachStepIsUndoneAndRedoneWholeAndNoneBringsBackADisallowedMonitor)
{
    KVM_LAYOUT layout;
    layout.MStyle[1] = 1;  // master port 1 has two monitors: 1A and 1B
    layout.Group[1] = layout.Group[2] = layout.Group[21] = 1;
    layout.Port[1] = {0, 0, 1920, 1080};
    layout.Port[2] = {3000, 500, 2560, 1440};
    layout.Port[21] = {0, 1080, 1080, 1920};
    LayoutModel model{CanvasTransform{10}, 6000, 6000};
    LayoutHistory history{model, layout};
    auto record = [&](const char* name, std::function<void()> edit) { history.Record(name, edit); };

    struct Step {
        const char* name;
        std::function<void()> before;  // not part of the step: a press selects
        std::function<void()> edit;
    };
    const std::vector<Step> steps = {
        {"Load Config", [] {}, [&] { record("Load Config", [&] { model.LoadFromConfig(layout); }); }},
        {"Move 2A", [&] { model.BeginDrag(2); history.Begin(); },
         [&] { model.DragStep(2, -700, 1300); model.EndDrag(2); history.End("Move 2A"); }},
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
    const std::string first = whole(model);
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.before();
        const std::string before = whole(model);
        const int count = history.Steps.count();
        step.edit();
        const std::string after = whole(model);
        ASSERT_NE(after, before);
        EXPECT_EQ(history.Steps.count(), count + 1);  // a key run is one step
        EXPECT_EQ(history.Steps.undoText(), step.name);
        history.Steps.undo();
        EXPECT_EQ(whole(model), before);
        history.Steps.redo();
        EXPECT_EQ(whole(model), after);
    }
    const std::string last = whole(model);
    history.Steps.setIndex(0);
    EXPECT_EQ(whole(model), first);
    history.Steps.setIndex(history.Steps.count());
    EXPECT_EQ(whole(model), last);

    // No step: a move that moves nothing, a key run back to where it began.
    const int count = history.Steps.count();
    record("Move Up", [&] { model.MoveLayout(MoveDirection::Up); });
    history.Record("Move 2A", [&] { model.KeyStep(2, MoveDirection::Left, false); }, 2);
    history.Record("Move 2A", [&] { model.KeyStep(2, MoveDirection::Right, false); }, 2);
    EXPECT_EQ(history.Steps.count(), count);
    EXPECT_EQ(whole(model), "selected 2" + last.substr(last.find('\n')));

    // "Monitor Layout" gives port 1 one monitor, which takes 1B off the
    // canvas as no step: neither undo nor redo brings it back.
    model.Select(21);
    record("Delete 1B", [&] { model.DeleteSelected(); });
    history.Steps.undo();
    layout.MStyle[1] = 0;
    model.RefreshLabels(layout);
    history.Steps.redo();
    history.Steps.undo();
    EXPECT_EQ(model.Screens()[21].ScreenGroup, 0);
    EXPECT_EQ(model.SelectedNo(), 0);  // the selection was 1B's
}

}  // namespace
