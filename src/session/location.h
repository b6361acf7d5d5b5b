// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The text shown for one user-search answer (a "398" reply line, without CR LF): where the user
// is. Never fails: a reply it cannot read gives "Unrecognised location", and a chat room whose
// lobby number cannot be read gives "Chat Room".
std::string DecodeLocation(const std::string& line398);

// The texts DecodeLocation writes, and the one of a row not looked up yet.
namespace where {
inline constexpr std::string_view kNotLoggedIn = "Not Logged In";
inline constexpr std::string_view kHiding = "Hiding";
inline constexpr std::string_view kLoggedIn = "Logged In";
inline constexpr std::string_view kChatRoom = "Chat Room";  // + ": " and the lobby's name
inline constexpr std::string_view kGame = "Game: ";         // + the game's name
inline constexpr std::string_view kUnrecognised = "Unrecognised location";
inline constexpr std::string_view kUnknown = "Unknown";
}  // namespace where

namespace reply {
inline constexpr std::string_view kLocation = "398";  // the answer to FINDUSEREX
}  // namespace reply
inline constexpr std::string_view kFindUser = "FINDUSEREX ";  // + nickname

}  // namespace vantor
