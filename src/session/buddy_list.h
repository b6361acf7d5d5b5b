// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace vantor {

// The nicknames of a buddy list answer, joined there by the grave accent. An empty answer (no
// buddies) and empty pieces name nobody, so they give no nicknames.
std::vector<std::string> SplitBuddyList(const std::string& list);

}  // namespace vantor
