#pragma once

#include "core/platform/Prompts.h"

// Prompts shown with Qt's message box and file dialogs.
class QtPrompts final : public Prompts {
public:
    MsgAnswer messageBox(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons) override;
    QString openFileName(QWidget* owner, const QString& filter, const QString& defaultExt) override;
    QString saveFileName(QWidget* owner, const QString& filter, const QString& defaultExt) override;
    int chooseItem(QWidget* owner, const QString& text, const QString& caption, const QStringList& items) override;
};

// "Glidex Layout (*.gxl)|*.gxl" -> "Glidex Layout (*.gxl)": description and
// pattern pairs in the form Qt's file dialogs take.
QString QtFileFilter(const QString& filter);
