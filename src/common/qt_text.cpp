// SPDX-License-Identifier: MIT
#include "common/qt_text.h"

#include "common/cp1252.h"

#include <QList>

namespace vantor {

QString FromWire(std::string_view bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) out.append(QChar(static_cast<char16_t>(Cp1252ToUnicode(b))));
    return out;
}

std::string ToWire(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t cp : text.toUcs4()) out += UnicodeToCp1252(cp);
    return out;
}

}  // namespace vantor
