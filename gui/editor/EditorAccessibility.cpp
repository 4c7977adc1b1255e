#include "gui/editor/EditorAccessibility.h"

#include "gui/editor/PortLabel.h"
#include "gui/editor/ScreenTile.h"

#include <QAccessibleWidget>
#include <QTimer>

#include <algorithm>
#include <vector>

namespace {

class PortLabelAccessible : public QAccessibleWidget {
public:
    explicit PortLabelAccessible(TPortLabel* label)
        : QAccessibleWidget(label, QAccessible::Button)
    {
    }

    // Screen readers present a button's checked state only for toggle
    // buttons, which Qt does not report: the description says it too.
    QString text(QAccessible::Text t) const override
    {
        const QString text = QAccessibleWidget::text(t);
        if (t != QAccessible::Description)
            return text;
        return text + (label()->Placed() ? QStringLiteral(", placed") : QStringLiteral(", not placed"));
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = label()->Placed();
        return state;
    }

    QStringList actionNames() const override { return QAccessibleWidget::actionNames() << pressAction(); }

    void doAction(const QString& actionName) override
    {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        // Later, from the event loop: placing may ask a question in a modal
        // box, which must not run inside the assistive tool's request.
        TPortLabel* target = label();
        QTimer::singleShot(0, target, [target] { emit target->activated(); });
    }

private:
    TPortLabel* label() const { return static_cast<TPortLabel*>(widget()); }
};

class ScreenAccessible : public QAccessibleWidget {
public:
    explicit ScreenAccessible(TScreen* tile)
        : QAccessibleWidget(tile, QAccessible::ListItem)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return ScreenSummary(tile()->Data);
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectable = true;
        state.selected = tile()->Selected();
        return state;
    }

private:
    TScreen* tile() const { return static_cast<TScreen*>(widget()); }
};

// The canvas: a list of the tiles on it. Hidden tiles stand for monitors
// that are not placed and are left out.
class CanvasAccessible : public QAccessibleWidget {
public:
    explicit CanvasAccessible(QWidget* canvas)
        : QAccessibleWidget(canvas, QAccessible::List)
    {
    }

    int childCount() const override { return static_cast<int>(shownTiles().size()); }

    QAccessibleInterface* child(int index) const override
    {
        const std::vector<TScreen*> tiles = shownTiles();
        if (index < 0 || index >= static_cast<int>(tiles.size()))
            return nullptr;
        return QAccessible::queryAccessibleInterface(tiles[static_cast<std::size_t>(index)]);
    }

    int indexOfChild(const QAccessibleInterface* child) const override
    {
        if (!child)
            return -1;
        const std::vector<TScreen*> tiles = shownTiles();
        const auto found = std::find(tiles.begin(), tiles.end(), child->object());
        return found == tiles.end() ? -1 : static_cast<int>(found - tiles.begin());
    }

private:
    // In tile-number order: raising a tile reorders the widget's children.
    std::vector<TScreen*> shownTiles() const
    {
        std::vector<TScreen*> tiles;
        for (TScreen* tile : widget()->findChildren<TScreen*>(Qt::FindDirectChildrenOnly)) {
            if (!tile->isHidden())
                tiles.push_back(tile);
        }
        std::sort(tiles.begin(), tiles.end(),
                  [](const TScreen* a, const TScreen* b) { return a->Data.ScreenNo < b->Data.ScreenNo; });
        return tiles;
    }
};

QAccessibleInterface* editorAccessible(const QString& className, QObject* object)
{
    if (className == QLatin1String("TPortLabel"))
        return new PortLabelAccessible(static_cast<TPortLabel*>(object));
    if (className == QLatin1String("TScreen"))
        return new ScreenAccessible(static_cast<TScreen*>(object));
    if (className == QLatin1String("QWidget") && object->objectName() == QLatin1String("imgLayout"))
        return new CanvasAccessible(static_cast<QWidget*>(object));
    // A window with a menu bar and a status line, not a dialog: screen
    // readers look for the status line only in such windows ("Undone: Move
    // 2A" is read there on request).
    if (className == QLatin1String("TfrmGlidex"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    return nullptr;
}

}  // namespace

void InstallEditorAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(editorAccessible);
        return true;
    }();
    (void)installed;
}
