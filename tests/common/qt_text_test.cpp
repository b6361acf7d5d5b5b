// SPDX-License-Identifier: MIT
#include "common/qt_text.h"

#include <gtest/gtest.h>

#include <string>

#include "common/cp1252.h"

namespace vantor {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(QtText, qtBoundaryRoundTripsAllDefinedBytes) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (Cp1252ToUnicode(static_cast<unsigned char>(b)) != 0xFFFD) all += static_cast<char>(b);
    }
    EXPECT_EQ(ToWire(FromWire(all)), all);
}

TEST(QtText, receivedTextReadsAsUtf8OnlyWhenItIsValidUtf8PastAscii) {
    struct Row {
        const char* what;
        std::string bytes;
        QString shown;
    };
    const std::string utf8 =
        "Gr\xC3\xBC\xC3\x9F"
        "e \xE6\x97\xA5\xE6\x9C\xAC";  // Grüße 日本
    const Row rows[] = {
        {"UTF-8 from another client", utf8, QStringLiteral("Grüße 日本")},
        {"the same bytes cut short", utf8.substr(0, utf8.size() - 1),
         QStringLiteral("GrÃ¼ÃŸe æ—¥æœ")},
        {"Windows-1252",
         "Gr\xFC\xDF"
         "e \x80",
         QStringLiteral("Grüße €")},
        {"an overlong form is no UTF-8", "\xC0\xAF", QStringLiteral("À¯")},
        {"plain ASCII", "hello", QStringLiteral("hello")},
    };
    for (const Row& r : rows) EXPECT_EQ(FromWire(r.bytes), r.shown) << r.what;
}

TEST(QtText, sentTextStaysWindows1252AndFitsOnlyWhatTheCodePageCarries) {
    struct Row {
        QString text;
        bool fits;
        std::string wire;
    };
    const Row rows[] = {
        {QStringLiteral("Grüße €?"), true,
         "Gr\xFC\xDF"
         "e \x80?"},
        {QStringLiteral("日本"), false, "??"},
        {QStringLiteral("a\U0001F600"), false, "a?"},
        {QString(), true, ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FitsWire(r.text), r.fits) << r.text.toStdString();
        EXPECT_EQ(ToWire(r.text), r.wire) << r.text.toStdString();
    }
}

// Every kind of line break becomes one space of its own, wherever it stands; controls without a
// glyph go, tab stays; other text, and the text of a line without either, is left as it is.
TEST(QtText, everyLineBreakBecomesASpaceAndControlsWithoutAGlyphGo) {
    const struct Row {
        QString in;
        QString out;
    } rows[] = {
        {QString(), QString()},
        {u"no break, \u00e9\u0301 \U0001F600 stays"_s,
         u"no break, \u00e9\u0301 \U0001F600 stays"_s},
        {u"\r\na\rb\nc\u2028d\u2029"_s, u"  a b c d "_s},
        {u"tab\tstays, form\ffeed goes"_s, u"tab\tstays, formfeed goes"_s},
        {u"\x01"
         "ACTION \x03"
         "4red\x0f \x07\x1b[0m\x7f\x00"
         "end\r"_s,
         u"ACTION 4red [0mend "_s},
    };
    for (const Row& r : rows) EXPECT_EQ(OneLine(r.in), r.out) << r.in.toStdString();
}

}  // namespace
}  // namespace vantor
