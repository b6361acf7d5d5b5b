// SPDX-License-Identifier: MIT
#include "common/qt_text.h"

#include <gtest/gtest.h>

#include "common/cp1252.h"

namespace vantor {
namespace {

TEST(QtText, utf8OutsideTheCodePageBecomesQuestionMarks) {
    EXPECT_EQ(ToWire(QString::fromUtf8("caf\xC3\xA9 \xF0\x9F\x98\x80")), "caf\xE9 ?");
}

TEST(QtText, qtBoundaryRoundTripsAllDefinedBytes) {
    std::string all;
    for (int b = 1; b < 256; ++b) {
        if (Cp1252ToUnicode(static_cast<unsigned char>(b)) != 0xFFFD) all += static_cast<char>(b);
    }
    EXPECT_EQ(ToWire(FromWire(all)), all);
}

}  // namespace
}  // namespace vantor
