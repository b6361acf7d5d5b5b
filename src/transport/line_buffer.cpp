// SPDX-License-Identifier: MIT
#include "transport/line_buffer.h"

#include <algorithm>
#include <cstring>

namespace vantor {

std::size_t LineBuffer::FindLineEnd() {
    std::size_t from = std::max(scan_, off_);
    const char* base = buf_.data();
    const std::size_t size = buf_.size();
    while (from + 1 < size) {
        const void* cr = std::memchr(base + from, '\r', size - from - 1);
        if (cr == nullptr) break;
        std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - base);
        if (base[at + 1] == '\n') {
            scan_ = at;
            return at;
        }
        from = at + 1;
    }
    // A CR in the last byte may still meet its LF in the next read.
    scan_ = size > off_ ? size - 1 : off_;
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
            // Keep only a trailing CR: it may be the first half of the CR LF we wait for.
            std::size_t keep = (!buf_.empty() && buf_.back() == '\r') ? 1 : 0;
            buf_.erase(0, buf_.size() - keep);
            off_ = scan_ = 0;
            return true;
        }
        off_ = scan_ = end + 2;
        discarding_ = false;
    }

    if (buf_.size() - off_ > kMaxPartial && FindLineEnd() == std::string::npos) {
        std::size_t keep = buf_.back() == '\r' ? 1 : 0;
        buf_.erase(0, buf_.size() - keep);
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
    line.assign(buf_, off_, end - off_);
    off_ = scan_ = end + 2;
    return true;
}

void LineBuffer::Clear() {
    buf_.clear();
    off_ = scan_ = 0;
    discarding_ = false;
}

}  // namespace vantor
