#include "gui/dialogs/MonitorDialog.h"

#include "core/config/KvmConfig.h"
#include "support/FindWidget.h"
#include "support/QtPrinting.h"
#include "support/Screenshots.h"

#include <QComboBox>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <gtest/gtest.h>

namespace {

const QStringList kStyles = {"1. Single (1 Row x 1 Column)", "2. 1 Row x 2 Column", "3. 1 Row x 3 Column",
                             "4. 1 Row x 4 Column",          "5. 2 Row x 2 Column", "6. 2 Row x 1 Column",
                             "7. 3 Row x 1 Column",          "8. 4 Row x 1 Column"};

QStringList items(const QComboBox* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->itemText(i);
    return texts;
}

class MonitorDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        // Every style once, out-of-range values from a file or the switch,
        // and tables the dialog must leave alone.
        for (int p = 1; p <= kPortCount; ++p) {
            KvmLayout.MStyle[p] = (p * 3) % 8;
            KvmLayout.MTotal[p] = {p * 100, p * 10};
        }
        KvmLayout.MStyle[7] = 8;
        KvmLayout.MStyle[18] = -1;
        KvmLayout.Group[5] = 1;
        KvmLayout.Port[5] = {10, 20, 1920, 1080};
        KvmLayout.MConfig[25] = {1920, 0};
        stored = KvmLayout;
    }

    // Loads the dialog and shows it modally without blocking, as the editor
    // does before waiting for its result.
    void open()
    {
        frmMonitor.Load();
        frmMonitor.open();
        ASSERT_TRUE(frmMonitor.isVisible());
    }

    // The dialog's widgets by their object names, as a user's tools find them.
    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        return FindWidget<T>(frmMonitor, name);
    }
    QTabWidget* pages() const { return find<QTabWidget>(QStringLiteral("PageControl1")); }
    QWidget* sheet(int page) const { return find(QStringLiteral("TabSheet%1").arg(page)); }
    QComboBox* style(int n) const { return find<QComboBox>(QStringLiteral("cmbMonitorStyle%1").arg(n)); }

    ConfigRecords config;
    KVM_LAYOUT& KvmLayout = config.KvmLayout;
    TfrmMonitor frmMonitor{config};
    KVM_LAYOUT stored;
};

TEST_F(MonitorDialogTest, ShowsEachUnitsFourPortsOnItsOwnPage)
{
    EXPECT_EQ(frmMonitor.windowTitle(), "MonitorLayout");
    EXPECT_EQ(find<QPushButton>("btnAply")->text(), "Apply");
    EXPECT_EQ(find<QPushButton>("btnCancel")->text(), "Cancel");
    ASSERT_EQ(pages()->count(), 5);
    const QStringList captions = {" Master ", " Slave 1 ", " Slave 2 ", " Slave 3 ", " Slave 4 "};
    for (int page = 1; page <= 5; ++page) {
        EXPECT_EQ(pages()->tabText(page - 1), captions[page - 1]);
        EXPECT_EQ(pages()->widget(page - 1), sheet(page));
    }
    EXPECT_EQ(pages()->currentIndex(), 0);
    EXPECT_EQ(QFontInfo(pages()->tabBar()->font()).pixelSize(), 11);

    for (int n = 1; n <= kPortCount; ++n) {
        SCOPED_TRACE(n);
        QWidget* page = sheet((n - 1) / 4 + 1);
        QComboBox* list = style(n);
        QLabel* label = find<QLabel>(QStringLiteral("lblPort%1").arg(n));
        EXPECT_EQ(list->objectName(), QStringLiteral("cmbMonitorStyle%1").arg(n));
        EXPECT_EQ(label->objectName(), QStringLiteral("lblPort%1").arg(n));
        EXPECT_EQ(list->parentWidget(), page);
        EXPECT_EQ(label->parentWidget(), page);
        EXPECT_EQ(label->text(), QStringLiteral("Port %1 Monitor Layout").arg((n - 1) % 4 + 1));
        EXPECT_TRUE(label->font().bold());
        // The window's font reaches every selector.
        EXPECT_EQ(QFontInfo(list->font()).pixelSize(), 11);
        EXPECT_EQ(QFontInfo(label->font()).pixelSize(), 11);
        EXPECT_FALSE(list->isEditable());
        EXPECT_EQ(items(list), kStyles);
        // Nothing is cut off: the caption and the longest item fit.
        EXPECT_GE(label->width(), label->sizeHint().width());
        EXPECT_GE(list->width(), list->sizeHint().width());
        EXPECT_TRUE(QRect(QPoint(0, 0), pages()->size()).contains(list->geometry()));
    }
}

TEST_F(MonitorDialogTest, LoadSelectsEveryStoredStyleAndLeavesOutOfRangeOnesEmpty)
{
    open();
    for (int n = 1; n <= kPortCount; ++n)
        EXPECT_EQ(style(n)->currentIndex(), n == 7 || n == 18 ? -1 : (n * 3) % 8) << n;
    EXPECT_EQ(style(7)->currentText(), "");
    EXPECT_TRUE(SaveScreenshot(&frmMonitor));
    pages()->setCurrentIndex(4);
    EXPECT_TRUE(SaveScreenshot(&frmMonitor, "slave4-empty"));
}

TEST_F(MonitorDialogTest, ApplyWritesEverySelectionAndNothingElse)
{
    open();
    pages()->setCurrentIndex(2);
    style(11)->setCurrentIndex(style(11)->findText("5. 2 Row x 2 Column"));
    find<QPushButton>("btnAply")->click();

    EXPECT_EQ(frmMonitor.result(), 6);
    EXPECT_FALSE(frmMonitor.isVisible());
    KVM_LAYOUT expected = stored;
    expected.MStyle[11] = 4;
    // An empty selector goes back as no item at all.
    expected.MStyle[7] = -1;
    expected.MStyle[18] = -1;
    EXPECT_TRUE(KvmLayout == expected);
}

TEST_F(MonitorDialogTest, CancelAndTheCloseBoxWriteNothingAndTheNextLoadForgetsTheChanges)
{
    for (bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Cancel");
        open();
        for (int n = 1; n <= kPortCount; ++n)
            style(n)->setCurrentIndex(7);
        if (closeBox)
            frmMonitor.close();
        else
            find<QPushButton>("btnCancel")->click();

        EXPECT_EQ(frmMonitor.result(), 2);
        EXPECT_FALSE(frmMonitor.isVisible());
        EXPECT_TRUE(KvmLayout == stored);
        frmMonitor.Load();
        EXPECT_EQ(style(1)->currentIndex(), 3);
        EXPECT_EQ(style(7)->currentIndex(), -1);
    }
}

TEST_F(MonitorDialogTest, TheNextOpeningShowsThePageLastShown)
{
    open();
    pages()->setCurrentIndex(3);
    find<QPushButton>("btnAply")->click();
    open();
    EXPECT_EQ(pages()->currentWidget(), sheet(4));
}

}  // namespace
