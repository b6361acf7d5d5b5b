// SPDX-License-Identifier: MIT
#include "wire.h"

#include <algorithm>

namespace vantor::server {

std::vector<std::string_view> SplitList(std::string_view text, char sep) {
    if (text.empty()) return {};
    return SplitOn(text, sep);
}

bool IsValidNick(std::string_view nick) {
    if (nick.empty() || nick.size() > kMaxNickLength) return false;
    return std::all_of(nick.begin(), nick.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               std::string_view("-_[]{}\\|^").find(c) != std::string_view::npos;
    });
}

Command ParseCommand(std::string_view line) {
    Command cmd;
    if (!line.empty() && line.front() == ':') {
        auto space = line.find(' ');
        line = space == std::string_view::npos ? std::string_view() : line.substr(space + 1);
    }
    auto space = line.find(' ');
    for (char c : line.substr(0, space)) {
        cmd.name += (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (space == std::string_view::npos) return cmd;
    line.remove_prefix(space + 1);
    for (;;) {
        if (!line.empty() && line.front() == ':') {
            cmd.params.emplace_back(line.substr(1));
            break;
        }
        space = line.find(' ');
        cmd.params.emplace_back(line.substr(0, space));
        if (space == std::string_view::npos) break;
        line.remove_prefix(space + 1);
    }
    return cmd;
}

std::string CleanLine(std::string_view line) {
    std::string out(line);
    std::replace_if(
        out.begin(), out.end(), [](char c) { return c == '\0' || c == '\r'; }, ' ');
    return out;
}

}  // namespace vantor::server
