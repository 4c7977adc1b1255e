#include "gui/dialogs/MonitorDialog.h"
#include "gui/editor/GlidexWindow.h"
#include "gui/setup/SetupWindow.h"
#include "support/FakePointer.h"
#include "support/FakePrompts.h"
#include "support/FindWidget.h"
#include "support/IdleTransfers.h"
#include "support/QtPrinting.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <map>

namespace {

// What a screen reader says a control is: the caption that labels it, or
// else the control's own name.
QString spokenName(QAccessibleInterface* control)
{
    const auto labels = control->relations(QAccessible::Label);
    return labels.isEmpty() ? control->text(QAccessible::Name) : labels.first().first->text(QAccessible::Name);
}

// Every control that Tab reaches among those `window` shows now is named,
// by something other than its value and by no other control's name.
void expectEveryControlNamed(QWidget* window, const char* view)
{
    SCOPED_TRACE(view);
    std::map<QString, QString> controlByName;
    int controls = 0;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        // A widget with a focus proxy hands the focus on to it.
        if (!(widget->focusPolicy() & Qt::TabFocus) || widget->focusProxy() || !widget->isVisibleTo(window))
            continue;
        ++controls;
        QAccessibleInterface* control = QAccessible::queryAccessibleInterface(widget);
        const QString name = spokenName(control);
        const std::string id = widget->objectName().toStdString() + " '" + name.toStdString() + "'";
        EXPECT_FALSE(name.trimmed().isEmpty()) << id;
        EXPECT_NE(name, control->text(QAccessible::Value)) << id;
        const auto [other, added] = controlByName.emplace(name, widget->objectName());
        EXPECT_TRUE(added) << id << " is named as " << other->second.toStdString() << " is";
    }
    EXPECT_GE(controls, 5);
}

// On AT-SPI a screen reader reads a drop-down list's current item from the
// list's text, and says a new item that comes selected. Every list `window`
// shows reads so, before and after it moves to its next item (of another text
// and length where the list has one). The event telling the new item is not
// seen here: off screen, Qt sends accessibility events nowhere.
void expectEveryListSaysItsItem(QWidget* window, const char* view)
{
    if (!QT_CONFIG(accessibility_atspi_bridge))
        return;  // UI Automation reads Qt's own value
    SCOPED_TRACE(view);
    int lists = 0;
    for (QComboBox* list : window->findChildren<QComboBox*>()) {
        if (!list->isVisibleTo(window))
            continue;
        ++lists;
        const std::string id = list->objectName().toStdString();
        QAccessibleTextInterface* text = QAccessible::queryAccessibleInterface(list)->textInterface();
        if (!text) {
            ADD_FAILURE() << id << " has no text";
            continue;
        }
        EXPECT_EQ(text->text(0, text->characterCount()), list->currentText()) << id;

        const int item = list->currentIndex();
        list->setCurrentIndex((item + 1) % list->count());
        const QString next = list->currentText();
        EXPECT_NE(next, list->itemText(item)) << id;
        EXPECT_EQ(text->text(0, text->characterCount()), next) << id;
        int start = -1;
        int end = -1;
        text->selection(0, &start, &end);
        EXPECT_EQ(text->selectionCount(), 1) << id;
        EXPECT_EQ(start, 0) << id;
        EXPECT_EQ(end, next.size()) << id;
        list->setCurrentIndex(item);
    }
    EXPECT_GE(lists, 1);
}

TEST(ControlNames, EveryWindowNamesEachControlItsTabReachesAndEachListsItem)
{
    FakePrompts prompts;
    FakePointer pointer;
    IdleTransfers line;
    const QTemporaryDir dir;

    TfrmSetup setup(prompts, line.config, line.transfers, line.discovery, dir.filePath(QStringLiteral("TORVIK.INI")));
    expectEveryControlNamed(&setup, "setup window");
    expectEveryListSaysItsItem(&setup, "setup window");

    // A placed, selected monitor: its tile and the panel's fields take the
    // focus.
    line.config.KvmLayout.Group[1] = 1;
    line.config.KvmLayout.Port[1] = {0, 0, 1920, 1080};
    TfrmGlidex editor(prompts, pointer, line.config, line.transfers, QString());
    FindWidget<LayoutModel>(editor, QStringLiteral("Model"))->Select(1);
    ASSERT_TRUE(FindWidget<QLineEdit>(editor, QStringLiteral("edtX"))->isEnabled());
    expectEveryControlNamed(&editor, "layout editor");
    expectEveryListSaysItsItem(&editor, "layout editor");

    // The pages repeat their captions; the tabs tell the pages apart.
    TfrmMonitor monitor(line.config);
    auto* pages = FindWidget<QTabWidget>(monitor, QStringLiteral("PageControl1"));
    for (int page = 0; page < pages->count(); ++page) {
        pages->setCurrentIndex(page);
        expectEveryControlNamed(&monitor, qPrintable(pages->tabText(page)));
        expectEveryListSaysItsItem(&monitor, qPrintable(pages->tabText(page)));
    }
}

}  // namespace
