#pragma once

#include "core/config/KvmConfig.h"
#include "gui/editor/GlidexWindow.h"
#include "support/FakePointer.h"
#include "support/FakePrompts.h"
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

    TScreen& tile(int n) const { return *editor->Screens[n]; }
    const LayoutScreen& screen(int n) const { return editor->Model.Screens[n]; }

    FakePrompts prompts;
    FakePointer pointer;
    IdleTransfers line;  // with a fresh configuration
    KVM_LAYOUT& KvmLayout = line.config.KvmLayout;
    std::unique_ptr<TfrmGlidex> editor;
};
