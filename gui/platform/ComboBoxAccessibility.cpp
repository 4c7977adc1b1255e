#include "gui/platform/ComboBoxAccessibility.h"

#include <QAccessible>

#if QT_CONFIG(accessibility_atspi_bridge)

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QComboBox>

namespace {

// A drop-down list that cannot be typed into, as Qt's own interface shows it
// (its popup's list as its one child, expandable, opened by its actions), but
// named like any control, by its accessible name or caption, and with its
// current item as its text: Orca reads a list's value from its text. The
// text counts as selected, the current item being the list's selected one.
// A new item is reported as text inserted: Orca speaks inserted text that is
// selected and stays silent on a change it cannot tell the cause of. The old
// item is not reported as removed, which Orca would call a deleted selection.
class ComboBoxAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit ComboBoxAccessible(QComboBox* list)
        : QAccessibleWidget(list, QAccessible::ComboBox)
    {
        QObject::connect(list, &QComboBox::currentTextChanged, list, [list](const QString& item) {
            QAccessibleTextInsertEvent event(list, 0, item);
            QAccessible::updateAccessibility(&event);
        });
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? item() : QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = list()->view()->isVisible();
        return state;
    }

    int childCount() const override { return 1; }

    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(list()->view()) : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == list()->view() ? 0 : -1;
    }

    // The popup is a window of its own, not a part of the list's area.
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }

    void doAction(const QString& actionName) override
    {
        if (actionName != showMenuAction() && actionName != pressAction())
            return;
        if (list()->view()->isVisible())
            list()->hidePopup();
        else
            list()->showPopup();
    }

    // The text: the current item, all of it selected, read-only.
    QString text(int startOffset, int endOffset) const override
    {
        return item().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return static_cast<int>(item().size()); }
    int selectionCount() const override { return item().isEmpty() ? 0 : 1; }
    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
    }
    int cursorPosition() const override { return 0; }
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}

private:
    QComboBox* list() const { return static_cast<QComboBox*>(widget()); }
    QString item() const { return list()->currentText(); }
};

QAccessibleInterface* comboBoxAccessible(const QString& className, QObject* object)
{
    if (className != QLatin1String("QComboBox"))
        return nullptr;
    auto* list = static_cast<QComboBox*>(object);
    return list->isEditable() ? nullptr : new ComboBoxAccessible(list);
}

}  // namespace

#endif

void InstallComboBoxAccessibility()
{
#if QT_CONFIG(accessibility_atspi_bridge)
    static const bool installed = [] {
        QAccessible::installFactory(comboBoxAccessible);
        return true;
    }();
    (void)installed;
#endif
}
