// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <deque>

namespace vantor {

// The line lengths of a capped history box, so the cap can be applied without reading the text
// back. The text is the first line, then CR LF + each further line; it starts as one empty line
// because every entry is inserted as CR LF + entry.
class HistoryLines {
public:
    explicit HistoryLines(std::size_t cap = 10000) : cap_(cap) {}

    // How many leading lines go before an entry of this length is appended: none while the text
    // stays within the cap, otherwise everything through the first CR LF at or after position
    // entry length + 100 (1-based). When no CR LF is left there, the whole text goes: dropping a
    // single character, as a plain page window would, lets one huge line defeat the cap.
    std::size_t LinesToDrop(std::size_t entryLength) const;

    // Removes leading lines; dropping all of them leaves the one empty line of a cleared box.
    void DropFront(std::size_t lines);
    void Append(std::size_t entryLength);

    std::size_t Length() const { return length_; }  // characters, CR LF counted as two
    std::size_t Lines() const { return lines_.size(); }
    std::size_t Cap() const { return cap_; }

private:
    std::size_t cap_;
    std::deque<std::size_t> lines_{0};
    std::size_t length_ = 0;
};

}  // namespace vantor
