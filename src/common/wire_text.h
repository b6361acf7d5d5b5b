// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// Small pieces of wire text (Windows-1252 bytes) read the same way by the client and the bundled
// service.

// Splits at every separator: two in a row give an empty piece, an empty text one empty piece.
// With limit > 0 there are at most `limit` pieces and the last keeps the rest of the text,
// separators included.
std::vector<std::string_view> SplitOn(std::string_view text, char separator, std::size_t limit = 0);

// The words of a line, split at single spaces, so that word numbers match the wire.
std::vector<std::string_view> SplitWords(std::string_view line, std::size_t limit = 0);

// Word `index` of SplitWords(line, limit), or empty when the line has fewer words. Allocates
// nothing, for the receive pass.
std::string_view WordAt(std::string_view line, std::size_t index, std::size_t limit = 0);

// A whole field of 1 to maxDigits (at most 9) decimal digits, no sign; anything else is not a
// number.
std::optional<int> SmallNumber(std::string_view digits, std::size_t maxDigits = 9);

// A whole field read as a signed 32-bit number: an optional '-', then digits, within range.
std::optional<std::int32_t> SignedNumber(std::string_view field);

// Lower case of the code page: A-Z, the accented capitals 0xC0..0xDE (but 0xD7, the
// multiplication sign) and the four capitals of 0x80..0x9F. For nicknames, as the windows key
// them.
std::string LowerCp1252(std::string_view text);

// Lower case of A-Z only, for what the service compares by ASCII case: command words,
// nicknames and channel names on its side, the keys of the temporary sessions.
std::string LowerAscii(std::string_view text);
bool SameAsciiNoCase(std::string_view a, std::string_view b);

}  // namespace vantor
