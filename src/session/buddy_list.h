// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// The nicknames of a buddy list answer, joined there by the grave accent. An empty answer (no
// buddies) and empty pieces name nobody, so they give no nicknames.
std::vector<std::string> SplitBuddyList(const std::string& list);

inline constexpr std::string_view kDelBuddy = "DELBUDDY ";  // + nickname
inline constexpr std::string_view kAddBuddy = "ADDBUDDY ";  // + nickname

}  // namespace vantor
