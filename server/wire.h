// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/wire_text.h"

namespace vantor::server {

inline constexpr std::string_view kServerName = "irc.vantor.local";
inline constexpr std::size_t kMaxNickLength = 9;

// The pieces of a list separated by sep, as SplitOn gives them, but the empty text is the empty
// list (no buddies, no targets) rather than one empty piece.
std::vector<std::string_view> SplitList(std::string_view text, char sep);

// Nicknames and channel names compare without regard to ASCII case (LowerAscii,
// SameAsciiNoCase of common/wire_text.h).

// 1..9 characters of letters, digits and - _ [ ] { } \ | ^ : nothing that the wire formats use
// as a separator (space, comma, grave accent, '!', '@', ':', '#').
bool IsValidNick(std::string_view nick);

// One command line from a client: an optional ":prefix" is dropped, the command is upper-cased,
// and a parameter that starts with ':' takes the rest of the line.
struct Command {
    std::string name;
    std::vector<std::string> params;
    std::string_view Param(std::size_t i) const {
        return i < params.size() ? std::string_view(params[i]) : std::string_view();
    }
};
Command ParseCommand(std::string_view line);

// A received line made safe to relay: NUL and stray CR bytes become spaces.
std::string CleanLine(std::string_view line);

}  // namespace vantor::server
