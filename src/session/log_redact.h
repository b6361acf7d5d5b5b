// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The text of a sent command as the debug log may keep it. The encoded password logs on as well
// as the password itself, so the "apgar" line shows "********" in its place; every other command
// comes back unchanged. The wire always carries the real command.
std::string RedactForLog(std::string_view command);

}  // namespace vantor
