// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor::regedit4 {

// The REGEDIT4 text format of the registry file: Windows-1252 bytes in, a document out and back.
// No file access and no locking: the caller reads, edits and replaces the file.

// A value as the registry keeps it: its type and exact bytes.
struct Value {
    std::uint32_t type = 0;
    std::string data;

    bool operator==(const Value&) const = default;
};

// Whether a key or value name can stand on one line of the file.
bool IsWritableName(std::string_view name);

// The line that stores one value: "name"=... ("@" for the empty name). Text that reads back as
// exactly these bytes is quoted, a four-byte REG_DWORD is dword:, everything else is hex(T):.
std::string FormatValue(std::string_view name, std::uint32_t type, std::string_view data);

// The file as its lines. Lines the format does not understand, and the sections of other keys,
// are kept as they are; an edit touches only the lines of the value it sets.
class Document {
public:
    // Any bytes parse. LF ends a line, and the CRs before it belong to the line end; Format
    // writes CR LF after every line when the first line had one, else LF.
    static Document Parse(std::string_view text);
    // Every line followed by the document's line end.
    std::string Format() const;

    // Key and value names compare without regard to case, as in the registry.
    bool HasKey(std::string_view key) const;
    // The last line naming the value in the key's sections decides; nullopt when there is none
    // or its data is not understood.
    std::optional<Value> Get(std::string_view key, std::string_view name) const;

    // Appends the key's section (after a REGEDIT4 header when the document has none).
    void AddKey(std::string_view key);
    // Replaces the value's line (with its continuation lines), or adds it at the end of the
    // key's last section, adding the section when missing. The name must be writable.
    void Set(std::string_view key, std::string_view name, std::uint32_t type,
             std::string_view data);

    const std::vector<std::string>& Lines() const { return lines_; }
    bool operator==(const Document&) const = default;

private:
    struct Found;
    Found Find(std::string_view key, const std::string_view* name) const;

    std::vector<std::string> lines_;  // without their line ends
    bool crlf_ = false;
};

}  // namespace vantor::regedit4
