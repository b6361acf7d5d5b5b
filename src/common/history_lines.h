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
    // What goes when the text would pass the cap and no line break is far enough in to cut at.
    enum class NoBreak {
        // The whole text: dropping a single character would let one huge line defeat the cap.
        kClearAll,
        // Only the first character, a line break (CR LF) when the first line is empty.
        kFirstCharacter,
    };

    // How the text makes room for an entry.
    struct Cut {
        std::size_t lines = 0;        // leading lines, each with the CR LF after it
        bool firstCharacter = false;  // only the first character
    };

    explicit HistoryLines(std::size_t cap = 10000, NoBreak noBreak = NoBreak::kClearAll)
        : cap_(cap), noBreak_(noBreak) {}

    // Nothing while the text stays within the cap with an entry of this length appended,
    // otherwise everything through the first CR LF at or after position entry length + 100
    // (1-based), or what noBreak says when there is none.
    Cut CutFor(std::size_t entryLength) const;

    // Dropping every line leaves the one empty line of a cleared box.
    void Drop(Cut cut);
    void Append(std::size_t lineLength);  // CR LF + a line
    void Extend(std::size_t length);      // more text at the end of the last line

    std::size_t Length() const { return length_; }  // characters, CR LF counted as two
    std::size_t Lines() const { return lines_.size(); }
    std::size_t Cap() const { return cap_; }

private:
    std::size_t cap_;
    NoBreak noBreak_;
    std::deque<std::size_t> lines_{0};
    std::size_t length_ = 0;
};

}  // namespace vantor
