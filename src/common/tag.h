// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <variant>

namespace vantor {

// Identity of a connection as it appears in the debug log: nothing, a number or a text.
using Tag = std::variant<std::monostate, int, std::string>;

// The tag as the dump file writes it: 0 gives "0", an empty tag gives "".
std::string TagText(const Tag& tag);

// True for the empty text and the number 0, the tags that get no prefix in the debug window.
bool TagIsBlank(const Tag& tag);

}  // namespace vantor
