// SPDX-License-Identifier: MIT
#include "session/location.h"

#include "common/lobby_names.h"
#include "common/wire_text.h"

#include <iterator>
#include <string_view>
#include <vector>

namespace vantor {

namespace {

const std::string kUnrecognised(where::kUnrecognised);

// A lobby index written as one or two plain decimal digits; -1 for anything else.
int LobbyIndex(std::string_view digits) {
    const auto value = SmallNumber(digits, 2);
    return value && *value < static_cast<int>(LobbyNames.size()) ? *value : -1;
}

std::string DecodeChannel(std::string_view where) {
    const std::vector<std::string_view> fields = SplitOn(where, ',');
    if (fields.size() < 2) return kUnrecognised;
    // The channel name carries a two-character prefix before its own name.
    const std::string_view name = fields[0].size() > 2 ? fields[0].substr(2) : std::string_view();
    const std::string_view type = fields[1];
    if (type == "0") {
        const std::vector<std::string_view> pieces = SplitOn(name, '_');
        const int lobby = pieces.size() >= 3 ? LobbyIndex(pieces[2]) : -1;
        std::string text(where::kChatRoom);
        if (lobby < 0) return text;
        return text + ": " + std::string(LobbyNames[static_cast<std::size_t>(lobby)]);
    }
    if (type == "12") return std::string(where::kGame) + std::string(name);
    return {};
}

}  // namespace

std::string DecodeLocation(const std::string& line398) {
    const std::vector<std::string_view> parts = SplitWords(line398, 5);
    if (parts.size() < 4) return kUnrecognised;
    const std::string_view status = parts[3];
    if (status == "0") return parts.size() == 5 ? DecodeChannel(parts[4]) : kUnrecognised;
    if (status == "1") return std::string(where::kNotLoggedIn);
    if (status == "2") return std::string(where::kHiding);
    if (status == "3") return std::string(where::kLoggedIn);
    return kUnrecognised;
}

}  // namespace vantor
