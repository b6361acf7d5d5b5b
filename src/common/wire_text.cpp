// SPDX-License-Identifier: MIT
#include "common/wire_text.h"

#include <algorithm>
#include <charconv>

namespace vantor {

namespace {

char LowerAsciiByte(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char LowerCp1252Byte(char ch) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 0x20);
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char>(c + 0x20);
    switch (c) {
        case 0x8A:  // S caron
        case 0x8C:  // OE
        case 0x8E:  // Z caron
            return static_cast<char>(c + 0x10);
        case 0x9F:  // Y diaeresis
            return static_cast<char>(0xFF);
        default:
            return ch;
    }
}

}  // namespace

std::vector<std::string_view> SplitOn(std::string_view text, char separator, std::size_t limit) {
    std::vector<std::string_view> pieces;
    while (limit == 0 || pieces.size() + 1 < limit) {
        const std::size_t at = text.find(separator);
        if (at == std::string_view::npos) break;
        pieces.push_back(text.substr(0, at));
        text.remove_prefix(at + 1);
    }
    pieces.push_back(text);
    return pieces;
}

std::vector<std::string_view> SplitWords(std::string_view line, std::size_t limit) {
    return SplitOn(line, ' ', limit);
}

std::string_view WordAt(std::string_view line, std::size_t index, std::size_t limit) {
    for (std::size_t i = 0;; ++i) {
        const std::size_t space = line.find(' ');
        const bool last = space == std::string_view::npos || (limit > 0 && i + 1 == limit);
        if (i == index) return last ? line : line.substr(0, space);
        if (last) return {};
        line.remove_prefix(space + 1);
    }
}

std::optional<int> SmallNumber(std::string_view digits, std::size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits || digits.size() > 9) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<std::int32_t> SignedNumber(std::string_view field) {
    std::int32_t value = 0;
    const char* end = field.data() + field.size();
    const auto [stop, ec] = std::from_chars(field.data(), end, value);
    if (field.empty() || ec != std::errc() || stop != end) return std::nullopt;
    return value;
}

std::string LowerCp1252(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerCp1252Byte);
    return out;
}

std::string LowerAscii(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerAsciiByte);
    return out;
}

bool SameAsciiNoCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return LowerAsciiByte(x) == LowerAsciiByte(y); });
}

}  // namespace vantor
