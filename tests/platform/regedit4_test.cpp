// SPDX-License-Identifier: MIT
#include "platform/regedit4.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/registry.h"

namespace vantor::regedit4 {
namespace {

using namespace std::string_literals;
using registry::kRegBinary;
using registry::kRegDword;
using registry::kRegSz;

// A short key keeps the expected files readable; the real one is only longer.
constexpr std::string_view kKey = "K";

std::string InKey(const std::string& body) {
    return "REGEDIT4\n\n[K]\n" + body;
}

std::optional<Value> GetIn(const std::string& body, std::string_view name) {
    return Document::Parse(InKey(body)).Get(kKey, name);
}

Value Sz(const std::string& text) {
    return {kRegSz, text + '\0'};
}

TEST(Regedit4, everyValueFormReadsBackAsItsTypeAndExactBytes) {
    struct Case {
        std::string name;
        std::uint32_t type;
        std::string bytes;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"Nick", kRegSz, "bob\0"s, R"("Nick"="bob")"},
        {"Empty", kRegSz, "\0"s, R"("Empty"="")"},
        {R"(Quote"d\)", kRegSz, "a\\b\"c\0"s, R"("Quote\"d\\"="a\\b\"c")"},
        {"", kRegSz, "default\0"s, R"(@="default")"},
        {"NoZero", kRegSz, "abc", R"("NoZero"=hex(1):61,62,63)"},
        {"Nothing", kRegSz, "", R"("Nothing"=hex(1):)"},
        {"InnerZero", kRegSz, "a\0b\0"s, R"("InnerZero"=hex(1):61,00,62,00)"},
        {"Break", kRegSz, "a\r\nb\0"s, R"("Break"=hex(1):61,0d,0a,62,00)"},
        {"Dword", kRegDword, "\x78\x56\x34\x12", R"("Dword"=dword:12345678)"},
        {"ShortDword", kRegDword, "\x01\x02", R"("ShortDword"=hex(4):01,02)"},
        {"Binary", kRegBinary, "\0\xff"s, R"("Binary"=hex:00,ff)"},
        {"Expand", registry::kRegExpandSz, "%H%\0"s, R"("Expand"=hex(2):25,48,25,00)"},
        {"Qword", registry::kRegQword, std::string(8, '\x11'),
         R"("Qword"=hex(b):11,11,11,11,11,11,11,11)"},
        {"Huge", 0xffffffffu, "\x80", R"("Huge"=hex(ffffffff):80)"},
    };
    Document doc = Document::Parse("");
    for (const Case& c : cases) {
        EXPECT_EQ(FormatValue(c.name, c.type, c.bytes), c.line);
        doc.Set(kKey, c.name, c.type, c.bytes);
    }
    const Document reread = Document::Parse(doc.Format());
    for (const Case& c : cases)
        EXPECT_EQ(reread.Get(kKey, c.name), (Value{c.type, c.bytes})) << c.line;
}

TEST(Regedit4, readsValueLinesAsWrittenByHandOrOtherTools) {
    const std::vector<std::pair<std::string, std::optional<Value>>> cases = {
        {R"(  "a" =  "x"  )", Sz("x")},
        {R"("a"="x\\y\"z")", Sz(R"(x\y"z)")},
        {R"("a"="x\ny")", Sz(R"(x\ny)")},  // only \\ and \" are escapes
        {R"("a"="x" junk)", std::nullopt},
        {R"("a"="open)", std::nullopt},
        {R"("a="x")", std::nullopt},
        {R"("a"=dword:1)", Value{kRegDword, "\x01\0\0\0"s}},
        {R"("a"=dword:DEADbeef)", Value{kRegDword, "\xef\xbe\xad\xde"}},
        {R"("a"=dword: 0000000a )", Value{kRegDword, "\x0a\0\0\0"s}},
        {R"("a"=dword:123456789)", std::nullopt},
        {R"("a"=DWORD:1)", std::nullopt},
        {R"("a"=hex:)", Value{kRegBinary, ""}},
        {R"("a"=hex:1,A,ff)", Value{kRegBinary, "\x01\x0a\xff"}},
        {R"("a"=hex: 01 , 02 )", Value{kRegBinary, "\x01\x02"}},
        {R"("a"=hex:01,)", Value{kRegBinary, "\x01"}},
        {R"("a"=hex:01,,02)", std::nullopt},
        {R"("a"=hex:100)", std::nullopt},
        {R"("a"=hex(B):01)", Value{registry::kRegQword, "\x01"}},
        {R"("a"=hex(100000000):01)", std::nullopt},
        {R"("a"=hex(4)01)", std::nullopt},
        {R"("a"=-)", std::nullopt},
    };
    for (const auto& [line, value] : cases) EXPECT_EQ(GetIn(line + "\n", "a"), value) << line;
}

TEST(Regedit4, wrappedByteListsAndWhatEndsThem) {
    struct Case {
        const char* what;
        std::string body;
        std::optional<Value> b;
        std::optional<Value> c;
    };
    const Value c1{kRegDword, "\x01\0\0\0"s};
    const std::vector<Case> cases = {
        {"two lines", "\"b\"=hex:01,\\\n  02\n\"c\"=dword:1\n", Value{kRegBinary, "\x01\x02"}, c1},
        {"three lines", "\"b\"=hex(3):01,\\\n 02,\\\n\t03\n\"c\"=dword:1\n",
         Value{kRegBinary, "\x01\x02\x03"}, c1},
        {"crlf", "\"b\"=hex:01,\\\r\n  02\r\n\"c\"=dword:1\r\n", Value{kRegBinary, "\x01\x02"}, c1},
        {"a blank line ends it", "\"b\"=hex:01,\\\n\n\"c\"=dword:1\n", Value{kRegBinary, "\x01"},
         c1},
        {"a header ends it", "\"b\"=hex:01,\\\n[O]\n\"c\"=dword:1\n", std::nullopt, std::nullopt},
        {"the end of the file", "\"b\"=hex:01,\\", std::nullopt, std::nullopt},
        {"the next value is taken as bytes", "\"b\"=hex:01,\\\n\"c\"=dword:1\n", std::nullopt,
         std::nullopt},
        {"only byte lists continue", "\"b\"=\"x\",\\\n\"c\"=dword:1\n", std::nullopt, c1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetIn(c.body, "b"), c.b) << c.what;
        EXPECT_EQ(GetIn(c.body, "c"), c.c) << c.what;
    }
}

TEST(Regedit4, namesAndKeysCompareWithoutCaseInWindows1252) {
    struct Case {
        std::string stored;
        std::string asked;
        bool same;
    };
    // The letters themselves are the code page's lower-case helper's to test.
    const std::vector<Case> cases = {
        {"Server", "sERVER", true},
        {"Caf\xE9", "CAF\xC9", true},
        {"\xD7", "\xF7", false},
        {"a", "a ", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored + " / " + c.asked);
        Document values = Document::Parse(InKey("\"" + c.stored + "\"=dword:1\n"));
        EXPECT_EQ(values.Get(kKey, c.asked).has_value(), c.same);
        EXPECT_EQ(Document::Parse("[" + c.stored + "]\n").HasKey(c.asked), c.same);
        // Writing under the other spelling replaces the stored line instead of adding one.
        const std::size_t lines = values.Lines().size();
        values.Set(kKey, c.asked, kRegDword, "\x02\0\0\0"s);
        EXPECT_EQ(values.Lines().size(), c.same ? lines : lines + 1);
    }
}

TEST(Regedit4, sectionHeadersAndWhatIsNotOne) {
    const std::vector<std::pair<std::string, bool>> cases = {
        {"[K]", true},    {"  [K]\t", true},
        {"[K]\r", true},  {"[ K]", false},
        {"[K] x", false}, {"[K", false},
        {"K]", false},    {"[K\\Sub]", false},
        {"; [K]", false}, {"\"[K]\"=dword:1", false},
        {"", false},
    };
    for (const auto& [line, isKey] : cases)
        EXPECT_EQ(Document::Parse("REGEDIT4\n" + line + "\n").HasKey(kKey), isKey) << line;
}

TEST(Regedit4, lineEndsAreNormalisedOnceAndThenStable) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"a", "a\n"},
        {"a\n", "a\n"},
        {"\n\n", "\n\n"},
        {"a\r\nb\n", "a\r\nb\r\n"},  // the first line's end is the file's
        {"a\nb\r\n", "a\nb\n"},
        {"a\r", "a\r\n"},
        {"a\nb\r", "a\nb\n"},
        {"a\r\r\nb", "a\r\nb\r\n"},
        {"a\rb\n", "a\rb\n"},  // a CR inside a line is the line's
        {"\0\n"s, "\0\n"s},
    };
    for (const auto& [input, formatted] : cases) {
        const Document doc = Document::Parse(input);
        EXPECT_EQ(doc.Format(), formatted);
        EXPECT_EQ(Document::Parse(formatted), doc);
    }
}

TEST(Regedit4, editsTouchOnlyTheLinesOfTheValueTheySet) {
    struct Case {
        const char* what;
        std::string before;
        std::string after;  // once "N" is set to dword 7
    };
    const std::string n = "\"N\"=dword:00000007\n";
    const std::vector<Case> cases = {
        {"replaced in place", InKey("\"A\"=dword:1\n; note\n\"n\"=\"x\"\n\"B\"=-\n"),
         InKey("\"A\"=dword:1\n; note\n" + n + "\"B\"=-\n")},
        {"the last line naming it decides", InKey("\"N\"=dword:1\n\"n\"=dword:2\n"),
         InKey("\"N\"=dword:1\n" + n)},
        {"an unreadable line is replaced", InKey("\"N\"=qword:1\nnonsense\n"),
         InKey(n + "nonsense\n")},
        {"continuation lines go with it", InKey("\"N\"=hex:01,\\\n  02\n\"C\"=dword:1\n"),
         InKey(n + "\"C\"=dword:1\n")},
        {"added after the last non-blank line", InKey("\"A\"=dword:1\n\n\n[O]\n\"X\"=\"y\"\n"),
         InKey("\"A\"=dword:1\n" + n + "\n\n[O]\n\"X\"=\"y\"\n")},
        {"added to the key's last section", "[K]\n\"A\"=dword:1\n[O]\n[k]\n\"B\"=dword:2\n[O]\n",
         "[K]\n\"A\"=dword:1\n[O]\n[k]\n\"B\"=dword:2\n" + n + "[O]\n"},
        {"another key's value is not ours", "REGEDIT4\n[O]\n" + n + "[K\\Sub]\n" + n + "[K]\n",
         "REGEDIT4\n[O]\n" + n + "[K\\Sub]\n" + n + "[K]\n" + n},
        {"added before an open byte list", InKey("\"A\"=hex:01,\\\n"),
         InKey(n + "\"A\"=hex:01,\\\n")},
        {"added after the line an open list takes", InKey("\"A\"=hex:01,\\\n\n[O]\n"),
         InKey("\"A\"=hex:01,\\\n\n" + n + "[O]\n")},
        {"missing key appended", "REGEDIT4\n\n[O]\n; c\n", "REGEDIT4\n\n[O]\n; c\n\n[K]\n" + n},
        {"missing header added", "[O]\n", "REGEDIT4\n\n[O]\n\n[K]\n" + n},
        {"empty file", "", "REGEDIT4\n\n[K]\n" + n},
        {"crlf kept", "REGEDIT4\r\n\r\n[K]\r\n\"A\"=\"x\"\r\n",
         "REGEDIT4\r\n\r\n[K]\r\n\"A\"=\"x\"\r\n\"N\"=dword:00000007\r\n"},
    };
    for (const Case& c : cases) {
        Document doc = Document::Parse(c.before);
        doc.Set(kKey, "N", kRegDword, "\x07\0\0\0"s);
        EXPECT_EQ(doc.Format(), c.after) << c.what;
    }
}

}  // namespace
}  // namespace vantor::regedit4
