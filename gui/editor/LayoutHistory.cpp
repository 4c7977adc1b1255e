#include "gui/editor/LayoutHistory.h"

#include <QUndoCommand>

#include <utility>

namespace {

// Steps older than this are forgotten: each holds two layouts of 80 monitors.
constexpr int kStepLimit = 500;
// The merge id of the steps of arrow-key moves.
constexpr int kKeyRunId = 1;

}  // namespace

class LayoutHistory::Step : public QUndoCommand {
public:
    Step(LayoutHistory& history, const QString& name, const Snapshot& before, const Snapshot& after,
         int32_t keyRun, bool continuesRun)
        : QUndoCommand(name)
        , history_(history)
        , before_(before)
        , after_(after)
        , keyRun_(keyRun)
        , continuesRun_(continuesRun)
    {
    }

    void undo() override { history_.restore(after_, before_, QStringLiteral("Undone: %1").arg(text())); }

    void redo() override
    {
        // Pushed after the edit was done: the first redo has nothing to do.
        if (std::exchange(pushed_, false))
            return;
        history_.restore(before_, after_, QStringLiteral("Redone: %1").arg(text()));
    }

    int id() const override { return keyRun_ != 0 ? kKeyRunId : -1; }

    bool mergeWith(const QUndoCommand* other) override
    {
        const auto* next = static_cast<const Step*>(other);
        if (!next->continuesRun_ || next->keyRun_ != keyRun_)
            return false;
        after_ = next->after_;
        // Moved back to where the run started: no step at all, and the next
        // key move starts a new one.
        if (after_ == before_) {
            setObsolete(true);
            history_.keyRun_ = 0;
        }
        return true;
    }

private:
    LayoutHistory& history_;
    Snapshot before_;
    Snapshot after_;
    int32_t keyRun_;
    bool continuesRun_;
    bool pushed_ = true;
};

LayoutHistory::LayoutHistory(LayoutModel& model, KVM_LAYOUT& layout)
    : model_(model)
    , layout_(layout)
{
    Steps.setUndoLimit(kStepLimit);
}

LayoutHistory::Snapshot LayoutHistory::snapshot() const
{
    return {model_.State(), layout_.MStyle};
}

void LayoutHistory::Record(const QString& name, const std::function<void()>& edit, int32_t keyRun)
{
    const Snapshot before = snapshot();
    edit();
    push(name, before, keyRun);
}

void LayoutHistory::Begin()
{
    begun_ = snapshot();
}

void LayoutHistory::End(const QString& name)
{
    if (!begun_)
        return;
    const Snapshot before = *begun_;
    begun_.reset();
    push(name, before, 0);
}

void LayoutHistory::push(const QString& name, const Snapshot& before, int32_t keyRun)
{
    const Snapshot after = snapshot();
    const bool continuesRun = keyRun != 0 && keyRun == keyRun_;
    keyRun_ = keyRun;
    if (after == before)
        return;
    // A step recorded in the middle of a drag is not part of the drag's.
    if (begun_)
        begun_ = after;
    Steps.push(new Step(*this, name, before, after, keyRun, continuesRun));
}

void LayoutHistory::restore(const Snapshot& from, const Snapshot& to, const QString& message)
{
    begun_.reset();
    keyRun_ = 0;
    // Only the styles the step changed go back: one set since by the
    // monitor layout dialog stays.
    for (int port = 1; port <= kPortCount; ++port) {
        if (from.Styles[port] != to.Styles[port])
            layout_.MStyle[port] = to.Styles[port];
    }
    const std::vector<int32_t> changed = model_.Restore(from.Layout, to.Layout, layout_);
    emit restored(message, changed);
}
