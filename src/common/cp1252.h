// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace vantor {

// Windows-1252 is the one code page of the wire, the password encoding, the dump file and the
// registry file. It differs from Latin-1 only in 0x80..0x9F.

// Unicode code point of one Windows-1252 byte. The five undefined bytes map to U+FFFD.
char32_t Cp1252ToUnicode(unsigned char byte);

// Windows-1252 byte of a code point, or '?' when the code page cannot hold it.
char UnicodeToCp1252(char32_t codePoint);

// UTF-8 <-> Windows-1252, for logs, tests and the bundled service.
std::string Cp1252ToUtf8(std::string_view bytes);
std::string Utf8ToCp1252(std::string_view utf8);

}  // namespace vantor
