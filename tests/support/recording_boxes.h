// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "controls/message_box.h"

namespace vantor::test {

// Records message boxes instead of showing them; onShow lets a test look at the window then.
class RecordingBoxes : public MessageBoxes {
public:
    struct Box {
        BoxIcon icon;
        QString title;
        QString text;
    };
    void Show(QWidget*, BoxIcon icon, const QString& title, const QString& text) override {
        boxes.push_back({icon, title, text});
        if (onShow) onShow(boxes.back());
    }
    // Records the question as a box with the exclamation icon and answers from `replies` in turn
    // (true for Yes); No once they run out.
    bool Ask(QWidget* parent, const QString& title, const QString& text) override {
        Show(parent, BoxIcon::Exclamation, title, text);
        if (replies.empty()) return false;
        const bool yes = replies.front();
        replies.erase(replies.begin());
        return yes;
    }
    std::vector<Box> boxes;
    std::vector<bool> replies;
    std::function<void(const Box&)> onShow;
};

}  // namespace vantor::test
