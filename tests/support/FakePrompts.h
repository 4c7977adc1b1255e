#pragma once

#include "core/platform/Prompts.h"

#include <QStringList>
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

// Prompts that answer from a script and remember what was asked. A prompt
// without a scripted answer fails the test and answers as a closed box would.
class FakePrompts final : public Prompts {
public:
    struct Box {
        QWidget* owner;
        QString text;
        QString caption;
        MsgButtons buttons;
    };

    void answer(MsgAnswer answer) { answers_.push_back(answer); }
    void chooseFile(const QString& fileName) { files_.push_back(fileName); }
    void choose(int index) { choices_.push_back(index); }

    const std::vector<Box>& boxes() const { return boxes_; }
    // Runs as each box appears, to look at what the user sees behind it.
    std::function<void(const Box&)> onBox;

    MsgAnswer messageBox(QWidget* owner, const QString& text, const QString& caption, MsgButtons buttons) override
    {
        boxes_.push_back({owner, text, caption, buttons});
        if (onBox)
            onBox(boxes_.back());
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected message box: " << text.toStdString();
            return buttons == MsgButtons::Ok ? MsgAnswer::Ok : buttons == MsgButtons::YesNo ? MsgAnswer::No : MsgAnswer::Cancel;
        }
        const MsgAnswer next = answers_.front();
        answers_.pop_front();
        return next;
    }

    QString openFileName(QWidget*, const QString&, const QString&) override { return nextFile(); }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return nextFile(); }

    int chooseItem(QWidget*, const QString& text, const QString& caption, const QStringList& items) override
    {
        boxes_.push_back({nullptr, text + QLatin1Char('\n') + items.join(QLatin1Char('\n')), caption, MsgButtons::OkCancel});
        if (choices_.empty()) {
            ADD_FAILURE() << "unexpected choice: " << text.toStdString();
            return -1;
        }
        const int next = choices_.front();
        choices_.pop_front();
        return next;
    }

private:
    QString nextFile()
    {
        if (files_.empty()) {
            ADD_FAILURE() << "unexpected file dialog";
            return QString();
        }
        QString next = files_.front();
        files_.pop_front();
        return next;
    }

    std::deque<MsgAnswer> answers_;
    std::deque<QString> files_;
    std::deque<int> choices_;
    std::vector<Box> boxes_;
};
