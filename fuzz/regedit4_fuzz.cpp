// SPDX-License-Identifier: MIT
// Arbitrary bytes as a registry file: formatting what was parsed must parse back to the same
// document, and setting a value must read back exactly while leaving another value as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "platform/regedit4.h"

namespace {

using vantor::regedit4::Document;
using vantor::regedit4::Value;

constexpr std::string_view kKey = "HKEY_LOCAL_MACHINE\\Software\\KOVAL\\Vantor Desktop\\Settings";

void Check(bool ok) {
    if (!ok) std::abort();
}

// Formats, parses again and checks nothing moved; returns the formatted bytes.
std::string CheckRoundTrip(const Document& doc) {
    std::string text = doc.Format();
    Document again = Document::Parse(text);
    Check(again == doc);
    Check(again.Format() == text);
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Document doc = Document::Parse(input);
    CheckRoundTrip(doc);

    // The value to set comes from the input's ends, so that it varies with it.
    // The leading F keeps it from ever naming "Server", which must stay as it was.
    std::string name = "F" + std::string(input.substr(0, 6));
    for (char& c : name) {
        if (c == '\0' || c == '\r' || c == '\n') c = '_';
    }
    const Value value{static_cast<std::uint32_t>(size % 13),
                      std::string(input.substr(size > 12 ? size - 12 : 0))};

    const std::optional<Value> other = doc.Get(kKey, "Server");
    doc.Set(kKey, name, value.type, value.data);
    Document reread = Document::Parse(CheckRoundTrip(doc));
    Check(reread.HasKey(kKey));
    Check(reread.Get(kKey, name) == value);
    Check(reread.Get(kKey, "Server") == other);
    return 0;
}
