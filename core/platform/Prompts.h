#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The buttons of a message box, and the button the user pressed (numbered as
// the window system numbers them).
enum class MsgButtons { Ok, OkCancel, YesNo };
enum class MsgAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

// Modal user prompts: message boxes and the open and save file dialogs.
// Windows hold a reference to one; tests give them a scripted fake, so no
// test ever opens a real modal box.
class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box with a fixed text and caption; `owner` may be null.
    // Closing the box without pressing a button answers Cancel (or No, or Ok
    // for a box with OK only).
    virtual MsgAnswer messageBox(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons) = 0;

    // The standard open and save dialogs. `filter` is "description|pattern"
    // pairs; `defaultExt` is appended to a name typed without extension. An
    // empty result means the user cancelled.
    virtual QString openFileName(QWidget* owner, const QString& filter, const QString& defaultExt) = 0;
    virtual QString saveFileName(QWidget* owner, const QString& filter, const QString& defaultExt) = 0;

    // A modal choice of one of `items` under `text`, the box captioned
    // `caption`: the index chosen, or -1 when the user cancelled.
    virtual int chooseItem(QWidget* owner, const QString& text, const QString& caption, const QStringList& items) = 0;
};
