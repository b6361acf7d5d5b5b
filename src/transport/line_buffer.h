// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vantor {

// Received bytes not yet taken out as lines. A line ends at LF, with or without a CR before it,
// as robust peers read them. Taken lines advance a read offset; the storage is compacted only
// when more than half of it is consumed, so a pass costs time in proportion to the bytes it
// handles, not to what is still waiting.
class LineBuffer {
public:
    // An unfinished line longer than this is dropped, up to and including its line end.
    static constexpr std::size_t kMaxPartial = std::size_t{1} << 20;

    // Returns false when an over-long unfinished line was dropped by this append.
    bool Append(std::string_view bytes);

    // The next complete line (possibly empty) into `line`, without its line end; a lone CR or a
    // NUL inside it becomes a space, so no text is cut and no line can pass as another. False
    // when no line end is waiting.
    bool TakeLine(std::string& line);

    // A complete line (possibly empty) is waiting.
    bool HasLine() {
        return !discarding_ && off_ < buf_.size() && FindLineEnd() != std::string::npos;
    }

    std::string_view View() const { return std::string_view(buf_).substr(off_); }
    bool Empty() const { return off_ >= buf_.size(); }
    void Clear();

private:
    std::size_t FindLineEnd();

    std::string buf_;
    std::size_t off_ = 0;      // start of the unconsumed part
    std::size_t scan_ = 0;     // no LF lies before this position (at or after off_)
    bool discarding_ = false;  // inside the tail of a dropped over-long line
};

}  // namespace vantor
