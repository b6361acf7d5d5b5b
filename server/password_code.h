// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vantor::server {

// The code that a client sends in "apgar" for a password (Windows-1252 bytes). The server stores
// and compares only codes; it needs the encoding itself just to know the demo accounts' codes.
// Kept apart from the client's copy on purpose: the two cross-check each other on the wire.
std::string EncodePassword(std::string_view password);

}  // namespace vantor::server
