// SPDX-License-Identifier: MIT
#include "platform/regedit4.h"

#include <cstdio>

#include "common/wire_text.h"
#include "platform/registry.h"

namespace vantor::regedit4 {

using registry::kRegBinary;
using registry::kRegDword;
using registry::kRegSz;

namespace {

// The registry compares names without regard to the case of Windows-1252 letters.
bool SameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && LowerCp1252(a) == LowerCp1252(b);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r')) s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Parses 1..maxDigits hex digits making up all of s.
std::optional<std::uint32_t> ParseHex(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : s) {
        int d = HexDigit(c);
        if (d < 0) return std::nullopt;
        v = (v << 4) | static_cast<std::uint32_t>(d);
    }
    return v;
}

using Lines = std::vector<std::string>;

// The key name of a section header line, or nullopt when the line is no header.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return line.substr(1, line.size() - 2);
}

// Reads a quoted string starting after its opening quote; \\ and \" are escapes.
std::optional<std::string> ReadQuoted(std::string_view s, std::size_t& pos) {
    std::string out;
    while (pos < s.size()) {
        char c = s[pos++];
        if (c == '"') return out;
        if (c == '\\' && pos < s.size() && (s[pos] == '\\' || s[pos] == '"')) c = s[pos++];
        out += c;
    }
    return std::nullopt;
}

struct ValueLine {
    std::string name;
    bool valid = false;  // data understood
    Value value;
    std::size_t lastLine = 0;  // hex data may continue over following lines
    bool open = false;         // ends in a backslash with no line left to continue on
};

std::optional<std::vector<std::uint8_t>> ParseHexBytes(std::string_view list) {
    std::vector<std::uint8_t> bytes;
    std::size_t pos = 0;
    while (pos <= list.size()) {
        std::size_t comma = list.find(',', pos);
        std::size_t end = comma == std::string_view::npos ? list.size() : comma;
        std::string_view item = Trim(list.substr(pos, end - pos));
        if (item.empty()) {
            // Only a trailing comma (or an empty list) may leave an empty item.
            if (comma != std::string_view::npos) return std::nullopt;
            break;
        }
        auto b = ParseHex(item, 2);
        if (!b) return std::nullopt;
        bytes.push_back(static_cast<std::uint8_t>(*b));
        if (comma == std::string_view::npos) break;
        pos = comma + 1;
    }
    return bytes;
}

void ParseData(const Lines& lines, std::string_view data, ValueLine& v) {
    if (!data.empty() && data.front() == '"') {
        std::size_t pos = 1;
        auto text = ReadQuoted(data, pos);
        if (!text || !Trim(data.substr(pos)).empty()) return;
        v.value.type = kRegSz;
        v.value.data = std::move(*text);
        v.value.data += '\0';
        v.valid = true;
        return;
    }
    if (data.starts_with("dword:")) {
        auto n = ParseHex(Trim(data.substr(6)), 8);
        if (!n) return;
        v.value.type = kRegDword;
        v.value.data.resize(4);
        for (int i = 0; i < 4; ++i) v.value.data[i] = static_cast<char>((*n >> (8 * i)) & 0xFF);
        v.valid = true;
        return;
    }
    if (!data.starts_with("hex")) return;
    std::uint32_t type = kRegBinary;
    std::size_t colon = 3;
    if (data.size() > 3 && data[3] == '(') {
        std::size_t close = data.find(')', 4);
        if (close == std::string_view::npos) return;
        auto t = ParseHex(data.substr(4, close - 4), 8);
        if (!t) return;
        type = *t;
        colon = close + 1;
    }
    if (colon >= data.size() || data[colon] != ':') return;
    std::string list(Trim(data.substr(colon + 1)));
    // A trailing backslash continues the byte list on the next line, as regedit wraps it.
    while (!list.empty() && list.back() == '\\' && v.lastLine + 1 < lines.size() &&
           !SectionName(lines[v.lastLine + 1])) {
        list.pop_back();
        ++v.lastLine;
        list += Trim(lines[v.lastLine]);
    }
    v.open = !list.empty() && list.back() == '\\';
    auto bytes = ParseHexBytes(list);
    if (!bytes) return;
    v.value.type = type;
    v.value.data.assign(bytes->begin(), bytes->end());
    v.valid = true;
}

std::optional<ValueLine> ParseValueLine(const Lines& lines, std::size_t index) {
    std::string_view line = lines[index];
    std::size_t pos = 0;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size()) return std::nullopt;
    ValueLine v;
    v.lastLine = index;
    if (line[pos] == '@') {
        ++pos;
    } else if (line[pos] == '"') {
        ++pos;
        auto name = ReadQuoted(line, pos);
        if (!name) return std::nullopt;
        v.name = std::move(*name);
    } else {
        return std::nullopt;
    }
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    if (pos >= line.size() || line[pos] != '=') return std::nullopt;
    ++pos;
    while (pos < line.size() && IsBlank(line[pos])) ++pos;
    ParseData(lines, line.substr(pos), v);
    return v;
}

std::string Quote(std::string_view s) {
    std::string out = "\"";
    for (char c : s) {
        if (c == '\\' || c == '"') out += '\\';
        out += c;
    }
    out += '"';
    return out;
}

// No zero byte and no line break: the bytes can stand inside one quoted line.
bool FitsQuotedLine(std::string_view s) {
    return s.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos;
}

bool HasHeader(const Lines& lines) {
    for (const std::string& line : lines) {
        std::string_view t = Trim(line);
        if (t.empty()) continue;
        return t == "REGEDIT4";
    }
    return false;
}

}  // namespace

bool IsWritableName(std::string_view name) {
    return FitsQuotedLine(name);
}

std::string FormatValue(std::string_view name, std::uint32_t type, std::string_view data) {
    std::string line = name.empty() ? std::string("@") : Quote(name);
    line += '=';
    // Quoted text only when it reads back as exactly these bytes: one final zero byte, no other
    // zero byte and no line break inside.
    if (type == kRegSz && !data.empty() && data.back() == '\0' &&
        FitsQuotedLine(data.substr(0, data.size() - 1))) {
        line += Quote(data.substr(0, data.size() - 1));
        return line;
    }
    char buf[16];
    if (type == kRegDword && data.size() == 4) {
        std::uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(data[i]);
        std::snprintf(buf, sizeof buf, "dword:%08x", v);
        line += buf;
        return line;
    }
    if (type == kRegBinary) {
        line += "hex:";
    } else {
        std::snprintf(buf, sizeof buf, "hex(%x):", type);
        line += buf;
    }
    line.reserve(line.size() + data.size() * 3);
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (i > 0) line += ',';
        std::snprintf(buf, sizeof buf, "%02x", static_cast<unsigned char>(data[i]));
        line += buf;
    }
    return line;
}

Document Document::Parse(std::string_view text) {
    Document doc;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t nl = text.find('\n', start);
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        // Every CR before a line's end belongs to the line end, so that Format gives back lines
        // that parse the same.
        std::size_t contentEnd = end;
        while (contentEnd > start && text[contentEnd - 1] == '\r') --contentEnd;
        if (start == 0) doc.crlf_ = contentEnd < end;
        doc.lines_.emplace_back(text.substr(start, contentEnd - start));
        if (nl == std::string_view::npos) break;
        start = nl + 1;
    }
    return doc;
}

std::string Document::Format() const {
    const std::string_view eol = crlf_ ? "\r\n" : "\n";
    std::size_t total = 0;
    for (const std::string& line : lines_) total += line.size() + eol.size();
    std::string out;
    out.reserve(total);
    for (const std::string& line : lines_) {
        out += line;
        out += eol;
    }
    return out;
}

struct Document::Found {
    bool keyFound = false;
    std::size_t lastSectionEnd = 0;  // index after the last line of the key's last section
    std::optional<ValueLine> value;  // the last line naming the value
    std::size_t valueFirstLine = 0;
    std::size_t lastValueFirst = 0;  // lines of the last value line in the key's sections
    std::size_t lastValueEnd = 0;
    bool lastValueOpen = false;
};

// With name null only the key's sections are looked for.
Document::Found Document::Find(std::string_view key, const std::string_view* name) const {
    Found found;
    bool inSection = false;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (auto header = SectionName(lines_[i])) {
            inSection = SameName(*header, key);
            if (inSection) {
                found.keyFound = true;
                found.lastSectionEnd = i + 1;
            }
            continue;
        }
        if (!inSection) continue;
        found.lastSectionEnd = i + 1;
        if (name == nullptr) continue;
        auto v = ParseValueLine(lines_, i);
        if (!v) continue;
        std::size_t first = i;
        i = v->lastLine;
        found.lastSectionEnd = i + 1;
        found.lastValueFirst = first;
        found.lastValueEnd = i + 1;
        found.lastValueOpen = v->open;
        if (SameName(v->name, *name)) {
            found.value = std::move(v);
            found.valueFirstLine = first;
        }
    }
    return found;
}

bool Document::HasKey(std::string_view key) const {
    return Find(key, nullptr).keyFound;
}

std::optional<Value> Document::Get(std::string_view key, std::string_view name) const {
    Found found = Find(key, &name);
    if (!found.value || !found.value->valid) return std::nullopt;
    return std::move(found.value->value);
}

void Document::AddKey(std::string_view key) {
    if (!HasHeader(lines_)) lines_.insert(lines_.begin(), {"REGEDIT4", ""});
    if (!lines_.empty() && !Trim(lines_.back()).empty()) lines_.emplace_back();
    std::string header;
    header.reserve(key.size() + 2);
    header += '[';
    header += key;
    header += ']';
    lines_.push_back(std::move(header));
}

void Document::Set(std::string_view key, std::string_view name, std::uint32_t type,
                   std::string_view data) {
    std::string line = FormatValue(name, type, data);
    Found found = Find(key, &name);
    if (found.value) {
        auto first = lines_.begin() + static_cast<std::ptrdiff_t>(found.valueFirstLine);
        auto last = lines_.begin() + static_cast<std::ptrdiff_t>(found.value->lastLine);
        *first = std::move(line);
        lines_.erase(first + 1, last + 1);
        return;
    }
    if (!found.keyFound) {
        AddKey(key);
        lines_.push_back(std::move(line));
        return;
    }
    // New values go after the section's last non-blank line, but never where a byte list
    // would take them as its continuation.
    std::size_t at = found.lastSectionEnd;
    while (at > found.lastValueEnd && Trim(lines_[at - 1]).empty()) --at;
    if (at == found.lastValueEnd && found.lastValueOpen) at = found.lastValueFirst;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), std::move(line));
}

}  // namespace vantor::regedit4
