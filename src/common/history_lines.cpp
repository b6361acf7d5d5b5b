// SPDX-License-Identifier: MIT
#include "common/history_lines.h"

namespace vantor {

HistoryLines::Cut HistoryLines::CutFor(std::size_t entryLength) const {
    if (length_ + entryLength <= cap_) return {};
    const std::size_t from = entryLength + 99;  // 0-based start of the search
    std::size_t breakAt = 0;                    // where the CR LF after line i starts
    for (std::size_t i = 0; i + 1 < lines_.size(); ++i) {
        breakAt += lines_[i];
        if (breakAt >= from) return {i + 1, false};
        breakAt += 2;
    }
    if (noBreak_ == NoBreak::kClearAll) return {lines_.size(), false};
    return {0, true};
}

void HistoryLines::Drop(Cut cut) {
    if (cut.lines >= lines_.size()) {
        lines_.assign(1, 0);
        length_ = 0;
        return;
    }
    for (std::size_t i = 0; i < cut.lines; ++i) {
        length_ -= lines_.front() + 2;
        lines_.pop_front();
    }
    if (!cut.firstCharacter) return;
    if (lines_.front() > 0) {
        --lines_.front();
        --length_;
    } else if (lines_.size() > 1) {
        lines_.pop_front();  // the first character is the CR LF after an empty line
        length_ -= 2;
    }
}

void HistoryLines::Append(std::size_t lineLength) {
    lines_.push_back(lineLength);
    length_ += lineLength + 2;
}

void HistoryLines::Extend(std::size_t length) {
    lines_.back() += length;
    length_ += length;
}

}  // namespace vantor
