// SPDX-License-Identifier: MIT
#include "session/buddy_watch.h"

#include <string_view>

#include "common/wire_text.h"

namespace vantor {

namespace {

enum class Place { Unknown, Off, On, Room, Game };

Place PlaceOf(std::string_view location) {
    if (location == "Not Logged In") return Place::Off;
    if (location == "Logged In" || location == "Hiding") return Place::On;
    if (location.starts_with("Chat Room")) return Place::Room;
    if (location.starts_with("Game: ")) return Place::Game;
    return Place::Unknown;  // not asked yet, or an answer that could not be read
}

}  // namespace

std::optional<std::string> BuddyMoveText(const std::string& nick, const std::string& before,
                                         const std::string& now) {
    const Place from = PlaceOf(before);
    const Place to = PlaceOf(now);
    if (from == Place::Unknown || to == Place::Unknown || from == to) return std::nullopt;
    const bool onOrOff = from == Place::Off || to == Place::Off;
    const bool intoGame = from == Place::Room && to == Place::Game;
    if (!onOrOff && !intoGame) return std::nullopt;
    std::string text = nick;
    text += (to == Place::Room || to == Place::Game) ? " is now in " : " is now ";
    text += now;
    return text;
}

void BuddyWatch::Forget() {
    last_.clear();
    told_.clear();
}

void BuddyWatch::NewSearch() {
    told_.clear();
}

std::optional<std::string> BuddyWatch::Seen(const std::string& nick, int column,
                                            const std::string& location) {
    const std::string key = LowerCp1252(nick);
    auto [it, first] = last_.try_emplace({key, column}, location);
    if (first) return std::nullopt;
    std::optional<std::string> text = BuddyMoveText(nick, it->second, location);
    // An unreadable answer says nothing about where the buddy was.
    if (PlaceOf(location) != Place::Unknown) it->second = location;
    if (!text || !told_.insert(key).second) return std::nullopt;
    return text;
}

}  // namespace vantor
