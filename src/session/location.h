// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The text shown for one user-search answer (a "398" reply line, without CR LF): where the user
// is. Never fails: a reply it cannot read gives "Unrecognised location", and a chat room whose
// lobby number cannot be read gives "Chat Room".
std::string DecodeLocation(const std::string& line398);

namespace reply {
inline constexpr std::string_view kLocation = "398";  // the answer to FINDUSEREX
}  // namespace reply
inline constexpr std::string_view kFindUser = "FINDUSEREX ";  // + nickname

}  // namespace vantor
