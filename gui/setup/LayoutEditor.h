#pragma once

#include <QString>

#include <cstdint>

// What the setup window needs of the layout editor, which is built on top
// of it: the program entry hands the one to the other, so neither includes
// the other's window.
class LayoutEditor {
public:
    virtual ~LayoutEditor() = default;
    // Shows the editor modally ("Glidex Layout").
    virtual void ShowEditor() = 0;
    // 0 when no two placed tiles overlap (the layout then moved to the
    // top-left corner), 2 when two do.
    virtual int32_t CheckLayout(bool ShowErrors) = 0;
    // The tiles into KvmLayout.
    virtual void StoreToConfig() = 0;
    // The tiles anew from KvmLayout, after `command` changed it; the
    // editor's undo names the rebuild after the command.
    virtual void LoadFromConfig(const QString& command) = 0;
};
