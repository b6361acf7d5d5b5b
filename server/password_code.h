// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vantor::server {

// The code that a client sends in "apgar" for a password (Windows-1252 bytes). The server stores
// and compares only codes; it needs the encoding itself just to know the demo accounts' codes.
std::string EncodePassword(std::string_view password);

}  // namespace vantor::server
