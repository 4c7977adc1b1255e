#include "core/layout/MonitorValues.h"
#include "gui/editor/EditorFixture.h"
#include "support/Screenshots.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QUndoStack>

namespace {

class PlaceMonitorsTest : public EditorFixture {
protected:
    QString writeList(const QByteArray& json)
    {
        const QString path = dir.filePath(QStringLiteral("desk2.json"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(json);
        return path;
    }
    void placeFromFile(const QByteArray& json)
    {
        prompts.chooseFile(writeList(json));
        find<QAction>("mnuPlaceMonitorsFromFile")->trigger();
    }
    DeskRect bounds(int n) const { return screen(n).DeskBounds(); }

    QTemporaryDir dir;
};

// Three monitors of another computer side by side, the middle one in no
// entry of the resolution table, put on master port 2 by choosing it: right
// of the layout, level with its top; one step that undo takes back whole,
// the port's style included.
TEST_F(PlaceMonitorsTest, AListFromAnotherComputerGoesOnTheChosenPortAsOneStep)
{
    place(1, {500, 300, 1920, 1080});
    place(4, {2420, 200, 1280, 1024});
    showEditor();

    prompts.choose(1);  // no tile selected: "Master Port 2"
    placeFromFile(R"({"screens": [
        {"name": "C", "x": 3200, "y": 0, "width": 1080, "height": 1920, "scale": 1},
        {"name": "A", "x": 0, "y": 0, "width": 1920, "height": 1080, "scale": 1},
        {"name": "B", "x": 1920, "y": 100, "width": 1280, "height": 1000, "scale": 1.25}]})");

    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_TRUE(prompts.boxes()[0].text.startsWith(QStringLiteral("Place the monitors on which port?\nMaster Port 1\nMaster Port 2")));
    EXPECT_EQ(KvmLayout.MStyle[2], 2);  // "3. 1 Row x 3 Column"
    EXPECT_EQ(bounds(2), (DeskRect{3700, 200, 5620, 1280}));
    EXPECT_EQ(bounds(22), (DeskRect{5620, 300, 6900, 1300}));
    EXPECT_EQ(bounds(42), (DeskRect{6900, 200, 7980, 2120}));
    EXPECT_EQ(screen(22).ResIndex, kOwnSize);  // 1280 x 1000 has no entry: its own
    EXPECT_TRUE(screen(42).Portrait);
    EXPECT_EQ(screen(42).ResIndex, 10);
    EXPECT_EQ(model().SelectedNo(), 2);
    EXPECT_TRUE(find("PortLabel42")->isVisible());
    EXPECT_EQ(find<QStatusBar>("StatusBar1")->currentMessage(), QStringLiteral("Placed 2A, 2B, 2C on Master Port 2"));

    find<QAction>("mnuUndo")->trigger();
    EXPECT_EQ(KvmLayout.MStyle[2], 0);
    for (int n : {2, 22, 42})
        EXPECT_EQ(screen(n).ScreenGroup, 0) << n;
    EXPECT_FALSE(find("PortLabel22")->isVisible());
    EXPECT_EQ(bounds(4), (DeskRect{2420, 200, 3700, 1224}));
    find<QAction>("mnuRedo")->trigger();
    EXPECT_EQ(KvmLayout.MStyle[2], 2);
    EXPECT_EQ(bounds(42), (DeskRect{6900, 200, 7980, 2120}));
    EXPECT_TRUE(SaveScreenshot(editor.get(), "placed-monitors"));

    // Enter in the position field keeps 2B's own size, turned when Portrait
    // is checked; the list names that size while 2B is selected.
    select(22);
    find<QCheckBox>("chkPortrait")->setChecked(true);
    find<QLineEdit>("edtX")->setText(QStringLiteral("5700"));
    QTest::keyClick(find<QLineEdit>("edtX"), Qt::Key_Return);
    EXPECT_EQ(bounds(22), (DeskRect{5700, 300, 6700, 1580}));
    auto* cmbResolution = find<QComboBox>("cmbResolution");
    EXPECT_EQ(cmbResolution->currentText(), QStringLiteral("1280 x 1000"));
    EXPECT_TRUE(SaveScreenshot(editor.get(), "own-size"));
    select(2);
    EXPECT_EQ(cmbResolution->count(), kResCount);
}

// Onto the port of the tile selected last, which holds monitors already: the question
// comes first, Cancel keeps everything, OK puts the new ones where the port's
// monitors stood. Monitors in no arrangement or larger than the desktop, and
// a list that is none, are told and change nothing; monitors as wide as the
// desktop move left to fit.
TEST_F(PlaceMonitorsTest, ReplacingAsksFirstAndRefusalsChangeNothing)
{
    KvmLayout.MStyle[3] = 1;
    place(3, {4000, 2000, 1920, 1080});
    place(23, {5920, 2000, 1920, 1080});
    showEditor();
    // A label focused before the tile was selected: the tile is the newer choice.
    find("PortLabel1")->setFocus();
    select(23);
    const QByteArray stack = R"({"screens": [{"name": "T", "x": 0, "y": 0, "width": 2560, "height": 1440},
                                            {"name": "B", "x": 0, "y": 1440, "width": 1920, "height": 1200}]})";

    prompts.answer(MsgAnswer::Cancel);
    placeFromFile(stack);
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].text, QStringLiteral("Master Port 3 has monitors placed. Replace them?"));
    EXPECT_EQ(KvmLayout.MStyle[3], 1);
    EXPECT_EQ(bounds(23), (DeskRect{5920, 2000, 7840, 3080}));

    prompts.answer(MsgAnswer::Ok);
    placeFromFile(stack);
    EXPECT_EQ(KvmLayout.MStyle[3], 5);  // "6. 2 Row x 1 Column"
    EXPECT_EQ(bounds(3), (DeskRect{4000, 2000, 6560, 3440}));
    EXPECT_EQ(bounds(23), (DeskRect{4000, 3440, 5920, 4640}));

    const std::size_t asked = prompts.boxes().size();
    for (const QByteArray& refused :
         {QByteArray(R"({"screens": [{"x": 0, "y": 0, "width": 1920, "height": 1080},
                                    {"x": 1920, "y": 0, "width": 1920, "height": 1080},
                                    {"x": 0, "y": 1080, "width": 1920, "height": 1080}]})"),
          QByteArray(R"({"screens": [{"x": 0, "y": 0, "width": 30000, "height": 1000},
                                    {"x": 30000, "y": 0, "width": 30001, "height": 1000}]})"),
          QByteArray("no list")}) {
        prompts.answer(MsgAnswer::Ok);
        placeFromFile(refused);
        EXPECT_EQ(prompts.boxes().back().caption, QStringLiteral("Error"));
    }
    ASSERT_EQ(prompts.boxes().size(), asked + 3);
    EXPECT_TRUE(prompts.boxes()[asked].text.startsWith(QStringLiteral("The monitors stand in no arrangement")));
    EXPECT_EQ(prompts.boxes()[asked + 1].text,
              QStringLiteral("The monitors take 60001 x 1000 pixels, more than the desktop's 60000 x 60000. "
                             "Nothing was changed."));
    EXPECT_TRUE(prompts.boxes()[asked + 2].text.contains(QStringLiteral("holds no monitor list: not JSON")));
    EXPECT_EQ(KvmLayout.MStyle[3], 5);
    EXPECT_EQ(bounds(23), (DeskRect{4000, 3440, 5920, 4640}));

    prompts.answer(MsgAnswer::Ok);
    placeFromFile(R"({"screens": [{"x": 0, "y": 0, "width": 30000, "height": 1000},
                                 {"x": 30000, "y": 0, "width": 30000, "height": 1000}]})");
    EXPECT_EQ(bounds(3), (DeskRect{0, 2000, 30000, 3000}));
    EXPECT_EQ(bounds(23), (DeskRect{30000, 2000, 60000, 3000}));
}

// This computer's monitors through the menu, as the window system reports
// them: run alone, as the test PlaceThisComputersMonitors, on the offscreen
// platform with three screens (place-monitors-screens.json), a row whose
// middle screen the platform scales 1.5 and whose last Qt scales 1.5 (2560
// wide, 1707 to Qt). Without those screens it fails: the other tests'
// single screen would test nothing here.
TEST_F(PlaceMonitorsTest, ThisComputersMonitorsComeFromTheWindowSystem)
{
    ASSERT_EQ(QGuiApplication::screens().size(), 3)
        << "the offscreen platform's three screens did not appear (ctest -R PlaceThisComputersMonitors)";
    showEditor();
    find<QComboBox>("cmbDevice")->setCurrentIndex(2);
    find("PortLabel10")->setFocus();  // Slave 2 Port 2, monitor A
    find<QAction>("mnuPlaceMonitors")->trigger();

    EXPECT_EQ(KvmLayout.MStyle[10], 2);
    EXPECT_EQ(bounds(10), (DeskRect{0, 0, 1280, 1024}));
    EXPECT_EQ(bounds(30), (DeskRect{1280, 0, 4160, 1620}));
    EXPECT_EQ(bounds(50), (DeskRect{4160, 0, 6720, 1440}));
    EXPECT_EQ(find<QComboBox>("cmbDevice")->currentIndex(), 2);
}

}  // namespace
