#pragma once

#include "core/config/KvmConfig.h"
#include "core/layout/LayoutModel.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// The layout editor's history: each change of the working layout is one
// step that undo takes back and redo does again. A step holds the layout
// before and after it and brings back only the monitors it changed, with
// the selection, and the monitor styles of the ports it changed (placing a
// computer's monitors sets one); a monitor the styles then do not allow is
// never put back. Of the configuration only those styles are written.
// Without widgets; the window makes the Edit menu's actions from Steps.
class LayoutHistory : public QObject {
    Q_OBJECT

public:
    LayoutHistory(LayoutModel& model, KVM_LAYOUT& layout);

    QUndoStack Steps;

    // Runs `edit` on the model and records what it changed as the step
    // `name`; an edit that moved, sized, turned, placed or removed no
    // monitor and changed no style is no step. With `keyRun`, the number of a monitor moved by
    // the keys, the step joins the one before when that one moved the same
    // monitor by the keys and nothing was recorded, undone or redone since.
    void Record(const QString& name, const std::function<void()>& edit, int32_t keyRun = 0);
    // A step made of several events (a drag): Begin when it starts, End
    // with its name when it ends. An undo or redo in between drops it.
    void Begin();
    void End(const QString& name);

signals:
    // An undo or redo changed the monitors `changed` (in number order);
    // `message` says which step it was: "Undone: Move 2A".
    void restored(const QString& message, const std::vector<int32_t>& changed);

private:
    class Step;
    // The working layout and the ports' styles.
    struct Snapshot {
        LayoutState Layout;
        OneBased<int32_t, kPortCount> Styles;
        bool operator==(const Snapshot& other) const
        {
            return Layout.Places == other.Layout.Places && Styles == other.Styles;
        }
    };

    Snapshot snapshot() const;
    void push(const QString& name, const Snapshot& before, int32_t keyRun);
    void restore(const Snapshot& from, const Snapshot& to, const QString& message);

    LayoutModel& model_;
    KVM_LAYOUT& layout_;
    std::optional<Snapshot> begun_;
    int32_t keyRun_ = 0;  // the monitor of the key run that may go on, 0 = none
};
