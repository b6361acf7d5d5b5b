// SPDX-License-Identifier: MIT
#include "transport/line_buffer.h"

#include <algorithm>
#include <cstring>

namespace vantor {

std::size_t LineBuffer::FindLineEnd() {
    const std::size_t from = std::max(scan_, off_);
    if (from < buf_.size()) {
        const void* lf = std::memchr(buf_.data() + from, '\n', buf_.size() - from);
        if (lf != nullptr) {
            scan_ = static_cast<std::size_t>(static_cast<const char*>(lf) - buf_.data());
            return scan_;
        }
    }
    scan_ = buf_.size();
    return std::string::npos;
}

bool LineBuffer::Append(std::string_view bytes) {
    if (off_ >= buf_.size()) {
        buf_.clear();
        off_ = scan_ = 0;
    } else if (off_ > buf_.size() / 2) {
        buf_.erase(0, off_);
        scan_ -= off_;
        off_ = 0;
    }
    buf_.append(bytes);

    if (discarding_) {
        std::size_t end = FindLineEnd();
        if (end == std::string::npos) {
            buf_.clear();
            off_ = scan_ = 0;
            return true;
        }
        off_ = scan_ = end + 1;
        discarding_ = false;
    }

    if (buf_.size() - off_ > kMaxPartial && FindLineEnd() == std::string::npos) {
        buf_.clear();
        off_ = scan_ = 0;
        discarding_ = true;
        return false;
    }
    return true;
}

bool LineBuffer::TakeLine(std::string& line) {
    if (off_ >= buf_.size() || discarding_) return false;
    std::size_t end = FindLineEnd();
    if (end == std::string::npos) return false;
    std::size_t stop = end;
    if (stop > off_ && buf_[stop - 1] == '\r') --stop;
    line.assign(buf_, off_, stop - off_);
    off_ = scan_ = end + 1;
    // Searched first, changed only where found: almost every line has neither.
    const auto stray = [](char c) { return c == '\r' || c == '\0'; };
    for (auto it = std::find_if(line.begin(), line.end(), stray); it != line.end();
         it = std::find_if(it + 1, line.end(), stray)) {
        *it = ' ';
    }
    return true;
}

void LineBuffer::Clear() {
    buf_.clear();
    off_ = scan_ = 0;
    discarding_ = false;
}

}  // namespace vantor
