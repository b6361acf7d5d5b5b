// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace vantor {

// The text shown for one user-search answer (a "398" reply line, without CR LF): where the user
// is. Never fails: a reply it cannot read gives "Unrecognised location", and a chat room whose
// lobby number cannot be read gives "Chat Room".
std::string DecodeLocation(const std::string& line398);

}  // namespace vantor
