// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "session/main_view.h"

namespace vantor {

// Where a buddy is, in a sentence's words: "In the chat room Iron Hand", "Not logged in".
std::string LocationWords(std::string_view location);

// When a cell was last looked up, seen from now (seconds since the epoch): "12:04, 3 minutes
// ago". utcOffset: the local time's offset from UTC at that moment, in seconds.
std::string LookedUpText(std::int64_t at, std::int64_t now, int utcOffset);

// The clock a tooltip reads: now, and the local offset from UTC at a moment.
struct TipClock {
    std::int64_t now = 0;
    std::function<int(std::int64_t at)> utcOffset;
};

// When each cell of a row was last filled, by location column; kNever for a cell not looked up.
inline constexpr std::int64_t kNever = -1;

// The tooltip of a row's cell: column 0 (the nickname) tells every location column, one line
// per server in the three-server view; a location column tells its own. Without a location
// column (no list yet), nothing.
std::string BuddyTip(const BuddyRow& row, const std::vector<std::int64_t>& lookedUp,
                     ServerMode mode, int column, const TipClock& clock);

}  // namespace vantor
