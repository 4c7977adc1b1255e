#pragma once

#include "core/config/KvmConfig.h"
#include "gui/editor/GlidexWindow.h"
#include "support/FakePointer.h"
#include "support/FakePrompts.h"
#include "support/FindWidget.h"
#include "support/IdleTransfers.h"

#include <QApplication>
#include <gtest/gtest.h>

#include <memory>

// The layout editor with scripted prompts and pointer and no transfers,
// built from a KvmLayout that each test starts empty.
class EditorFixture : public testing::Test {
protected:
    void place(int n, PortRect rect)
    {
        KvmLayout.Group[n] = 1;
        KvmLayout.Port[n] = rect;
    }

    // The editor made from KvmLayout, shown off screen.
    TfrmGlidex& showEditor()
    {
        editor = std::make_unique<TfrmGlidex>(prompts, pointer, line.config, line.transfers, QString());
        editor->show();
        QApplication::processEvents();
        return *editor;
    }

    // The editor's widgets and actions by their object names, as a user's
    // tools find them; the tiles are "Screen1" to "Screen80".
    template <typename T = QWidget>
    T* find(const QString& name) const
    {
        return FindWidget<T>(*editor, name);
    }
    TScreen& tile(int n) const { return *find<TScreen>(QStringLiteral("Screen%1").arg(n)); }
    // The working layout the tiles show, found by its name as well.
    LayoutModel& model() const { return *find<LayoutModel>(QStringLiteral("Model")); }
    const LayoutScreen& screen(int n) const { return model().Screens()[n]; }
    // Monitor `n` selected, as a press on its tile selects it.
    void select(int n) const { model().Select(n); }

    FakePrompts prompts;
    FakePointer pointer;
    IdleTransfers line;  // with a fresh configuration
    KVM_LAYOUT& KvmLayout = line.config.KvmLayout;
    std::unique_ptr<TfrmGlidex> editor;
};
