// SPDX-License-Identifier: MIT
#include "session/buddy_tip.h"

#include "common/wire_text.h"
#include "session/buddy_order.h"
#include "session/location.h"
#include "settings/setting_names.h"

namespace vantor {

namespace {

constexpr std::int64_t kMinute = 60;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::int64_t kDay = 24 * kHour;

std::string Count(std::int64_t n, const char* unit) {
    return std::to_string(n) + " " + unit + (n == 1 ? "" : "s") + " ago";
}

std::string TwoDigits(std::int64_t n) {
    std::string text = n < 10 ? "0" : "";
    text += std::to_string(n);  // appended: GCC 12 at -O3 warns falsely of "0" + a temporary
    return text;
}

std::string CellText(const BuddyRow& row, const std::vector<std::int64_t>& lookedUp, int column,
                     const TipClock& clock) {
    const auto c = static_cast<std::size_t>(column - 1);
    const std::string& location = row.locations[c];
    const std::int64_t at = c < lookedUp.size() ? lookedUp[c] : kNever;
    if (at == kNever) return LocationWords(location) + " (not looked up yet)";
    const int offset = clock.utcOffset ? clock.utcOffset(at) : 0;
    return LocationWords(location) + " (looked up " + LookedUpText(at, clock.now, offset) + ")";
}

}  // namespace

std::string LocationWords(std::string_view location) {
    switch (StatusOf(location)) {
        case BuddyStatus::NotLoggedIn:
            return "Not logged in";
        case BuddyStatus::Hiding:
            return "Logged in, hiding";
        case BuddyStatus::LoggedIn:
            return "Logged in";
        case BuddyStatus::ChatRoom: {
            const std::string_view rest = location.substr(where::kChatRoom.size());
            if (rest.size() <= 2) return "In a chat room";
            return "In the chat room " + std::string(rest.substr(2));
        }
        case BuddyStatus::Game:
            return "In the game " + std::string(location.substr(where::kGame.size()));
        case BuddyStatus::Unknown:
            break;
    }
    if (location == where::kUnknown) return "Location not known";
    return "Location not recognised";
}

std::string LookedUpText(std::int64_t at, std::int64_t now, int utcOffset) {
    std::int64_t local = (at + utcOffset) % kDay;
    if (local < 0) local += kDay;
    std::string text = TwoDigits(local / kHour) + ":" + TwoDigits(local % kHour / kMinute) + ", ";
    const std::int64_t age = now - at;
    if (age < kMinute) return text + "just now";  // also a clock set back meanwhile
    if (age < kHour) return text + Count(age / kMinute, "minute");
    if (age < kDay) return text + Count(age / kHour, "hour");
    return text + Count(age / kDay, "day");
}

std::string BuddyTip(const BuddyRow& row, const std::vector<std::int64_t>& lookedUp,
                     ServerMode mode, int column, const TipClock& clock) {
    const int columns = static_cast<int>(row.locations.size());
    if (columns == 0 || column < 0 || column > columns) return {};
    if (column > 0) return CellText(row, lookedUp, column, clock);
    if (mode != ServerMode::AllServers) return CellText(row, lookedUp, 1, clock);
    const std::vector<std::string_view> servers = SplitOn(kServerNames, '|');
    std::string tip;
    for (int c = 1; c <= columns; ++c) {
        if (!tip.empty()) tip += '\n';
        const auto s = static_cast<std::size_t>(c - 1);
        if (s < servers.size()) tip += std::string(servers[s]) + ": ";
        tip += CellText(row, lookedUp, c, clock);
    }
    return tip;
}

}  // namespace vantor
