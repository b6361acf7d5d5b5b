// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// The keyless encoding of the password for the "apgar" line; bytes are Windows-1252 codes and
// the result is as long as the input.
std::string EncFunct(std::string_view password);

}  // namespace vantor
