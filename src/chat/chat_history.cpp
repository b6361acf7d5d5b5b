// SPDX-License-Identifier: MIT
#include "chat/chat_history.h"

namespace vantor {

std::size_t HistoryLines::LinesToDrop(std::size_t entryLength) const {
    if (length_ + entryLength <= cap_) return 0;
    const std::size_t from = entryLength + 99;  // 0-based start of the search
    std::size_t breakAt = 0;                    // where the CR LF after line i starts
    for (std::size_t i = 0; i + 1 < lines_.size(); ++i) {
        breakAt += lines_[i];
        if (breakAt >= from) return i + 1;
        breakAt += 2;
    }
    return lines_.size();
}

void HistoryLines::DropFront(std::size_t lines) {
    if (lines >= lines_.size()) {
        lines_.assign(1, 0);
        length_ = 0;
        return;
    }
    for (std::size_t i = 0; i < lines; ++i) {
        length_ -= lines_.front() + 2;
        lines_.pop_front();
    }
}

void HistoryLines::Append(std::size_t entryLength) {
    lines_.push_back(entryLength);
    length_ += entryLength + 2;
}

}  // namespace vantor
