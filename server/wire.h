// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::server {

inline constexpr std::string_view kServerName = "irc.vantor.local";
inline constexpr std::size_t kMaxNickLength = 9;

// Splits at single spaces, as the client does: two spaces in a row give an empty word. With
// maxParts > 0 the last part is the rest of the line, spaces included.
std::vector<std::string_view> SplitWords(std::string_view line, std::size_t maxParts = 0);

// Splits at every occurrence of sep; an empty text gives no pieces.
std::vector<std::string_view> SplitOn(std::string_view text, char sep);

// Nicknames and channel names compare without regard to ASCII case.
std::string Lower(std::string_view text);
bool SameNick(std::string_view a, std::string_view b);

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
