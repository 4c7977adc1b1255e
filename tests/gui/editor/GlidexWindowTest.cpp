#include "core/config/KvmConfig.h"
#include "core/platform/EventPump.h"
#include "gui/editor/EditorFixture.h"
#include "gui/setup/SetupWindow.h"
#include "support/FindWidget.h"
#include "support/QtPrinting.h"
#include "support/Screenshots.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <limits>
#include <memory>

namespace {

const QColor kBlack(Qt::black);
const QColor kAqua(0, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QColor kLime(0, 255, 0);

class GlidexWindowTest : public EditorFixture {
protected:
    TfrmGlidex& create()
    {
        editor = std::make_unique<TfrmGlidex>(prompts, pointer, line.config, line.transfers, QString());
        return *editor;
    }

    QImage picture(int n) const { return tile(n).grab().toImage(); }
    QColor labelBackground(int n) const { return tile(n).PortLabel->palette().color(QPalette::Window); }

    // The visible labels of the strip as "title@left", left to right.
    QStringList strip() const
    {
        QList<QLabel*> shown;
        for (int n = 1; n <= kScreenCount; ++n) {
            if (!tile(n).PortLabel->isHidden())
                shown << tile(n).PortLabel;
        }
        std::sort(shown.begin(), shown.end(), [](QLabel* a, QLabel* b) { return a->x() < b->x(); });
        QStringList texts;
        for (QLabel* label : shown)
            texts << QStringLiteral("%1@%2").arg(label->text()).arg(label->x());
        return texts;
    }

    // The tiles on the canvas; a tile is shown exactly when it is placed.
    QList<int> placedTiles() const
    {
        QList<int> placed;
        for (int n = 1; n <= kScreenCount; ++n) {
            EXPECT_EQ(screen(n).ScreenGroup != 0, !tile(n).isHidden()) << n;
            if (screen(n).ScreenGroup != 0)
                placed << n;
        }
        return placed;
    }

    // Whether the bottom panel is enabled; its nine widgets always agree.
    bool panelEnabled() const
    {
        const bool enabled = find<QPushButton>("btnApply")->isEnabled();
        for (QWidget* w : find("panScreen")->findChildren<QWidget*>())
            EXPECT_EQ(w->isEnabled(), enabled) << w->objectName().toStdString();
        return enabled;
    }

    KVM_CONFIG& KvmConfig = line.config.KvmConfig;
};

TEST_F(GlidexWindowTest, EmptyLayoutOpensWithTheMasterLabelsAndADisabledPanel)
{
    TfrmGlidex& w = create();
    auto* cmbResolution = find<QComboBox>("cmbResolution");
    auto* btnDelete = find<QPushButton>("btnDelete");
    w.show();
    QApplication::processEvents();
    EXPECT_EQ(w.windowTitle(), "Glidex Layout");
    EXPECT_EQ(w.size(), QSize(1280, 700));
    EXPECT_EQ(w.minimumSize(), QSize(850, 600));
    EXPECT_EQ(w.maximumSize(), QSize(3840, 2160));
    QStringList menus;
    for (QAction* action : find<QMenuBar>("MainMenu")->actions())
        menus << action->text();
    EXPECT_EQ(menus, QStringList({"Layout", "Edit", "Move", "View", "Check"}));
    EXPECT_EQ(cmbResolution->itemText(0), "640 x 480");
    EXPECT_EQ(cmbResolution->itemText(20), "4096 x 2160");
    EXPECT_TRUE(find<QPushButton>("btnApply")->isDefault());
    EXPECT_LE(btnDelete->fontMetrics().horizontalAdvance(btnDelete->text()) + 8, btnDelete->width());

    EXPECT_TRUE(placedTiles().isEmpty());
    EXPECT_EQ(strip(), QStringList({"1A@134", "2A@203", "3A@272", "4A@341"}));
    EXPECT_EQ(tile(2).PortLabel->geometry(), QRect(134 + 69, 5, 65, 25));
    EXPECT_EQ(labelBackground(2), kRed);
    EXPECT_FALSE(panelEnabled());

    // The bottom panel reads as one row, left to right, each caption whole.
    QList<QWidget*> row;
    for (const char* name : {"lblResolution", "cmbResolution", "chkPortrait", "lblPosition", "edtX", "lblComma", "edtY",
                             "btnApply", "btnDelete"})
        row << find(name);
    for (qsizetype i = 0; i < row.size(); ++i) {
        EXPECT_TRUE(find("panScreen")->rect().contains(row[i]->geometry())) << row[i]->objectName().toStdString();
        const bool captioned = qobject_cast<QLabel*>(row[i]) || qobject_cast<QCheckBox*>(row[i]) ||
                               qobject_cast<QComboBox*>(row[i]);
        if (captioned) {
            EXPECT_LE(row[i]->sizeHint().width(), row[i]->width()) << row[i]->objectName().toStdString();
        }
        if (i > 0) {
            EXPECT_LT(row[i - 1]->geometry().right(), row[i]->x()) << row[i]->objectName().toStdString();
        }
    }
}

TEST_F(GlidexWindowTest, TilesAndLabelsCarryTitleHintAndColourForScreenReaders)
{
    create();
    EXPECT_EQ(screen(22).Title, "2B");
    EXPECT_EQ(tile(22).ScreenColor(), kRed);
    EXPECT_EQ(screen(80).Title, "S4.4D");
    EXPECT_EQ(tile(80).ScreenColor(), kLime);
    for (int n : {22, 30, 80}) {
        const TScreen& t = tile(n);
        for (const QWidget* w : {static_cast<const QWidget*>(&t), static_cast<const QWidget*>(t.PortLabel)}) {
            EXPECT_EQ(w->accessibleName(), t.Data.Title);
            EXPECT_EQ(w->accessibleDescription(), w->toolTip());
        }
    }
    EXPECT_EQ(tile(22).toolTip(), "Master Port 2 Monitor 2");
    EXPECT_EQ(tile(30).toolTip(), "Slave 2 Port 2 Monitor 2");
    for (int n = 1; n <= kScreenCount; ++n) {
        const QLabel* label = tile(n).PortLabel;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width()) << n;
    }
}

// Rows of a tile picture holding something other than the fill colour,
// inside the outline and away from the selection marks.
QList<int> inkedRows(const QImage& image, const QColor& fill)
{
    QList<int> rows;
    for (int y = 1; y < image.height() - 1; ++y) {
        for (int x = 7; x < image.width() - 7; ++x) {
            if (image.pixelColor(x, y) != fill) {
                rows << y;
                break;
            }
        }
    }
    return rows;
}

TEST_F(GlidexWindowTest, PaintedTilesAreOutlinedWithTheirTextsBelowTheirTops)
{
    place(1, {0, 0, 1920, 1080});
    place(2, {2000, 0, 640, 480});
    place(5, {3000, 500, 1080, 1920});
    create();
    EXPECT_EQ(tile(1).geometry(), QRect(0, 0, 192, 108));
    EXPECT_EQ(tile(2).geometry(), QRect(200, 0, 64, 48));
    const QImage full = picture(1);
    for (QPoint edge : {QPoint(0, 0), QPoint(191, 0), QPoint(0, 107), QPoint(191, 107), QPoint(96, 0)})
        EXPECT_EQ(full.pixelColor(edge), kBlack);
    EXPECT_EQ(full.pixelColor(3, 54), kAqua);  // no marks on a tile that is not selected
    EXPECT_EQ(labelBackground(1), kBlack);
    EXPECT_EQ(tile(1).PortLabel->palette().color(QPalette::WindowText), kAqua);

    // The texts hang from their tops: the title from y 30 and the size text
    // within its line from y 61; on the 640 x 480 tile the title from y 3.
    const QList<int> rows = inkedRows(full, kAqua);
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_GE(rows.first(), 30);
    EXPECT_LT(rows.last(), 61 + QFontMetrics(PointFont("MS Sans Serif", 10, true)).height());
    const QList<int> smallRows = inkedRows(picture(2), kRed);
    ASSERT_FALSE(smallRows.isEmpty());
    EXPECT_GE(smallRows.first(), 3);
    EXPECT_LT(smallRows.first(), 29);

    select(5);
    const QImage selected = picture(5);
    ASSERT_EQ(selected.size(), QSize(108, 192));
    for (QPoint inMark : {QPoint(5, 5), QPoint(102, 186), QPoint(51, 2), QPoint(56, 189), QPoint(2, 93),
                          QPoint(105, 98)})
        EXPECT_EQ(selected.pixelColor(inMark), kBlack) << inMark.x() << "," << inMark.y();
    EXPECT_TRUE(panelEnabled());
    EXPECT_EQ(find<QComboBox>("cmbResolution")->currentText(), "1920 x 1080");
    EXPECT_TRUE(find<QCheckBox>("chkPortrait")->isChecked());
    EXPECT_EQ(find<QLineEdit>("edtX")->text(), "3000");
    EXPECT_EQ(find<QLineEdit>("edtY")->text(), "500");

    model().RepaintScreen(5, false);
    EXPECT_EQ(picture(5).pixelColor(5, 5), kAqua);
    model().RepaintScreen(6, true);  // not placed: stays off the canvas
    EXPECT_EQ(screen(6).ScreenGroup, 0);
}

// The tiles, labels and panel follow the model's removals and reloads.
TEST_F(GlidexWindowTest, RemovingAndReloadingRedrawTilesLabelsAndPanel)
{
    place(3, {0, 0, 1920, 1080});
    place(5, {1920, 0, 1920, 1080});
    place(80, {3840, 0, 1920, 1080});
    create();
    select(80);
    model().RemoveScreen(80);
    EXPECT_EQ(picture(3).pixelColor(2, 2), kBlack);
    EXPECT_TRUE(panelEnabled());
    EXPECT_EQ(labelBackground(80), kLime);

    editor->LoadFromConfig(QStringLiteral("Load Config"));  // a reload ends the selection
    EXPECT_FALSE(panelEnabled());
    EXPECT_EQ(picture(3).pixelColor(2, 2), kYellow);
    EXPECT_EQ(placedTiles(), QList<int>({3, 5}));  // monitor 4 of a single-monitor port is surplus

    model().RemoveScreen(5);
    model().RemoveScreen(3);
    model().RemoveScreen(80);
    EXPECT_FALSE(panelEnabled());
    EXPECT_TRUE(placedTiles().isEmpty());
}

// Values from a file or the switch can be anything 32 bits hold: the tiles
// stay within the canvas (no tile costs more memory than the canvas), the
// values are handed on unchanged, and moving such a layout overflows nothing.
TEST_F(GlidexWindowTest, HostileValuesStayOnTheCanvasAndInTheTables)
{
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    place(1, {0, 0, 300000, 300000});
    place(2, {2147483000, 0, 1920, 1080});
    place(3, {kMin, kMin, kMax, kMax});
    place(4, {500, 500, -1920, 1080});  // placed, but nothing to draw
    const KVM_LAYOUT loaded = KvmLayout;
    create();

    for (int n : {1, 2, 3, 4}) {
        EXPECT_NE(screen(n).ScreenGroup, 0) << n;
        EXPECT_TRUE(tile(n).geometry().isEmpty() || find("imgLayout")->rect().contains(tile(n).geometry())) << n;
    }
    EXPECT_EQ(tile(1).size(), QSize(6000, 6000));
    const QImage corner = tile(1).grab(QRect(0, 0, 8, 8)).toImage();
    EXPECT_EQ(corner.pixelColor(0, 0), kBlack);  // its outline where it starts
    EXPECT_EQ(corner.pixelColor(5, 5), kAqua);
    EXPECT_TRUE(tile(2).geometry().isEmpty());  // far beyond the canvas
    EXPECT_TRUE(tile(4).geometry().isEmpty());
    EXPECT_EQ(screen(2).DeskRight(), int64_t{2147483000} + 1920);
    editor->StoreToConfig();
    for (int n : {1, 2, 3, 4})
        EXPECT_EQ(KvmLayout.Port[n], loaded.Port[n]) << n;

    // To the top-left: tile 3 comes to 0, tile 2 would pass the 32-bit range
    // and stays at its end.
    editor->mnuMoveTopLeftClick();
    EXPECT_EQ(screen(3).DeskX, 0);
    EXPECT_EQ(screen(2).DeskX, kMax);
    EXPECT_EQ(screen(2).DeskRight(), int64_t{kMax} + 1920);
    editor->mnuMoveUpClick();
    editor->mnuMoveDownClick();
    editor->mnuMoveLeftClick();
    editor->mnuMoveRightClick();
    editor->CheckLayout(false);
    for (int n : {1, 2, 3, 4}) {
        EXPECT_EQ(screen(n).DeskRight() - screen(n).DeskX, screen(n).DeskWidth) << n;
        EXPECT_EQ(screen(n).DeskBottom() - screen(n).DeskY, screen(n).DeskHeight) << n;
    }
}

TEST_F(GlidexWindowTest, StripFollowsTheStylesAndSurplusMonitorsLeaveTheCanvas)
{
    KvmLayout.MStyle[2] = 3;
    KvmLayout.MStyle[4] = 4;
    for (int n : {2, 22, 42, 62, 4, 24})
        place(n, {(n % 20) * 2000, (n / 20) * 1200, 1920, 1080});
    create();
    EXPECT_EQ(strip(), QStringList({"1A@134", "2A@203", "2B@272", "2C@341", "2D@410", "3A@479", "4A@548",
                                    "4B@617", "4C@686", "4D@755"}));
    EXPECT_EQ(placedTiles(), QList<int>({2, 4, 22, 24, 42, 62}));

    select(62);
    KvmLayout.MStyle[2] = 0;
    model().RefreshLabels(KvmLayout);
    EXPECT_EQ(placedTiles(), QList<int>({2, 4, 24}));
    EXPECT_EQ(strip(), QStringList({"1A@134", "2A@203", "3A@272", "4A@341", "4B@410", "4C@479", "4D@548"}));
    EXPECT_EQ(model().SelectedNo(), 2);  // passed on upward past 80
}

TEST_F(GlidexWindowTest, ExportToAFileThatCannotBeWrittenSaysWhy)
{
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder.gxl"));
    ASSERT_TRUE(QDir().mkdir(folder));
    create();
    prompts.chooseFile(folder);
    prompts.answer(MsgAnswer::Ok);
    find<QAction>("mnuExport")->trigger();
    ASSERT_EQ(prompts.boxes().size(), 1u);
    EXPECT_EQ(prompts.boxes()[0].caption, "Warning");
    EXPECT_EQ(prompts.boxes()[0].text, QDir::toNativeSeparators(folder) + " could not be saved: not a regular file");
}

TEST_F(GlidexWindowTest, ChoosingAUnitShowsOnlyItsLabelsFromTheLeftmostSlot)
{
    KvmLayout.MStyle[10] = 1;  // Slave 2, port 2: two monitors
    KvmLayout.MStyle[12] = 9;  // an unknown style counts as one monitor
    place(1, {0, 0, 1920, 1080});
    place(9, {1920, 0, 1920, 1080});
    place(52, {3840, 0, 1920, 1080});  // Slave 2 port 4, monitor 3: beyond its style
    create();
    auto* cmbDevice = find<QComboBox>("cmbDevice");
    EXPECT_EQ(placedTiles(), QList<int>({1, 9}));

    cmbDevice->setCurrentIndex(2);
    EXPECT_EQ(strip(), QStringList({"S2.1A@134", "S2.2A@203", "S2.2B@272", "S2.3A@341", "S2.4A@410"}));
    EXPECT_EQ(placedTiles(), QList<int>({1, 9}));  // the Master's tile stays on the canvas
    EXPECT_EQ(labelBackground(9), kBlack);
    cmbDevice->setCurrentIndex(0);
    EXPECT_EQ(strip(), QStringList({"1A@134", "2A@203", "3A@272", "4A@341"}));
}

// The editor as the program wires it to the setup window.
class EditorInSetupTest : public GlidexWindowTest {
protected:
    void SetUp() override
    {
        GlidexWindowTest::SetUp();
        setup = std::make_unique<TfrmSetup>(prompts, line.config, line.transfers, line.discovery,
                                            dir.filePath(QStringLiteral("TORVIK.INI")));
        create();
        setup->setLayoutEditor(editor.get());
    }

    QTemporaryDir dir;
    std::unique_ptr<TfrmSetup> setup;
};

TEST_F(EditorInSetupTest, ResetToDefaultAndDownloadsRebuildTheTilesAsNamedSteps)
{
    prompts.answer(MsgAnswer::Ok);
    FindWidget<QPushButton>(*setup, "btnDefault")->click();
    QApplication::processEvents();
    EXPECT_EQ(placedTiles(), QList<int>({1, 2, 3, 4}));
    EXPECT_EQ(tile(4).geometry(), QRect(576, 0, 192, 108));
    EXPECT_EQ(find<QAction>("mnuUndo")->text(), "Undo Reset to Default");

    KvmLayout.Group[2] = 0;
    QCoreApplication::postEvent(setup.get(), new QEvent(TfrmSetup::WM_LAYOUT_UPDATED));
    QApplication::processEvents();
    EXPECT_EQ(placedTiles(), QList<int>({1, 3, 4}));
    EXPECT_EQ(find<QAction>("mnuUndo")->text(), "Undo Load Layout from Torvik");
    KvmLayout.Group[3] = 0;
    QCoreApplication::postEvent(setup.get(), new QEvent(TfrmSetup::WM_CONFIG_UPDATED));
    QApplication::processEvents();
    EXPECT_EQ(find<QAction>("mnuUndo")->text(), "Undo Load Config");
}

TEST_F(EditorInSetupTest, GlidexLayoutShowsTheEditorModallyAndEscapeDoesNotCloseIt)
{
    bool wasModal = false;
    bool stayedOnEscape = false;
    QTimer::singleShot(0, editor.get(), [&] {
        wasModal = QApplication::activeModalWidget() == editor.get();
        QTest::keyClick(editor.get(), Qt::Key_Escape);
        stayedOnEscape = editor->isVisible();
        editor->close();
    });
    FindWidget<QPushButton>(*setup, "btnGlidex")->click();
    EXPECT_TRUE(wasModal);
    EXPECT_TRUE(stayedOnEscape);
    EXPECT_FALSE(editor->isVisible());
}

TEST_F(GlidexWindowTest, Screenshots)
{
    ResetToDefaults(KvmConfig, KvmLayout);
    TfrmGlidex& w = create();
    EXPECT_TRUE(SaveScreenshot(&w));

    // Portrait, small and slave tiles, one selected.
    KvmLayout = KVM_LAYOUT{};
    KvmLayout.MStyle[1] = 1;
    KvmLayout.MStyle[2] = 4;
    place(1, {0, 0, 1920, 1080});
    place(21, {1920, 0, 1080, 1920});
    place(2, {3000, 0, 2560, 1440});
    place(22, {5560, 0, 640, 480});
    place(10, {0, 1920, 1920, 1200});
    place(15, {1920, 1920, 3840, 2160});
    place(12, {5760, 1920, 1366, 768});
    w.LoadFromConfig(QStringLiteral("Load Config"));
    select(2);
    EXPECT_TRUE(SaveScreenshot(&w, "mixed"));

    find<QComboBox>("cmbDevice")->setCurrentIndex(2);
    EXPECT_TRUE(SaveScreenshot(&w, "slave2"));
}

}  // namespace
