// SPDX-License-Identifier: MIT
#include "session/location.h"

#include "common/lobby_names.h"

#include <iterator>
#include <string_view>
#include <vector>

namespace vantor {

namespace {

constexpr const char* kUnrecognised = "Unrecognised location";

// Splits at every separator; with a limit the last piece keeps the rest of the text.
std::vector<std::string_view> Split(std::string_view text, char separator, std::size_t limit = 0) {
    std::vector<std::string_view> pieces;
    while (limit == 0 || pieces.size() + 1 < limit) {
        const std::size_t at = text.find(separator);
        if (at == std::string_view::npos) break;
        pieces.push_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    pieces.push_back(text);
    return pieces;
}

// A lobby index written as plain decimal digits; -1 for anything else.
int LobbyIndex(std::string_view digits) {
    if (digits.empty() || digits.size() > 2) return -1;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return -1;
        value = value * 10 + (c - '0');
    }
    return value < static_cast<int>(LobbyNames.size()) ? value : -1;
}

std::string DecodeChannel(std::string_view where) {
    const std::vector<std::string_view> fields = Split(where, ',');
    if (fields.size() < 2) return kUnrecognised;
    // The channel name carries a two-character prefix before its own name.
    const std::string_view name = fields[0].size() > 2 ? fields[0].substr(2) : std::string_view();
    const std::string_view type = fields[1];
    if (type == "0") {
        const std::vector<std::string_view> pieces = Split(name, '_');
        const int lobby = pieces.size() >= 3 ? LobbyIndex(pieces[2]) : -1;
        if (lobby < 0) return "Chat Room";
        return "Chat Room: " + std::string(LobbyNames[static_cast<std::size_t>(lobby)]);
    }
    if (type == "12") return "Game: " + std::string(name);
    return {};
}

}  // namespace

std::string DecodeLocation(const std::string& line398) {
    const std::vector<std::string_view> parts = Split(line398, ' ', 5);
    if (parts.size() < 4) return kUnrecognised;
    const std::string_view status = parts[3];
    if (status == "0") return parts.size() == 5 ? DecodeChannel(parts[4]) : kUnrecognised;
    if (status == "1") return "Not Logged In";
    if (status == "2") return "Hiding";
    if (status == "3") return "Logged In";
    return kUnrecognised;
}

}  // namespace vantor
