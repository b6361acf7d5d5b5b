// SPDX-License-Identifier: MIT
#include "common/qt_text.h"

#include "common/cp1252.h"

#include <QList>
#include <QStringDecoder>
#include <algorithm>

namespace vantor {

QString FromWire(std::string_view bytes) {
    const bool ascii = std::all_of(bytes.begin(), bytes.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    // ASCII reads the same in every encoding here; Latin-1 converts it fastest.
    if (ascii) return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) return text;
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) out.append(QChar(static_cast<char16_t>(Cp1252ToUnicode(b))));
    return out;
}

QString OneLine(QString text) {
    // Most text holds neither and goes back as it came, searched without detaching.
    const auto special = [](char16_t c) {
        if (c > 0x1F && c < QChar::LineSeparator) return c == 0x7F;  // most text, in one test
        return c < 0x20 ? c != u'\t' : c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    };
    const auto isBreak = [](char16_t c) {
        return c == u'\r' || c == u'\n' || c == QChar::LineSeparator ||
               c == QChar::ParagraphSeparator;
    };
    const QChar* in = text.constData();
    const qsizetype size = text.size();
    qsizetype first = 0;
    while (first < size && !special(in[first].unicode())) ++first;
    if (first == size) return text;
    QChar* out = text.data();
    qsizetype kept = first;
    for (qsizetype i = first; i < size; ++i) {
        const char16_t c = out[i].unicode();
        if (isBreak(c)) {
            out[kept++] = u' ';
        } else if (!special(c)) {
            out[kept++] = out[i];
        }
    }
    text.truncate(kept);
    return text;
}

QString CutForDisplay(QString text) {
    if (text.size() <= kDisplayCut) return text;
    qsizetype keep = kDisplayCut;
    if (text.at(keep - 1).isHighSurrogate()) --keep;  // never half a character
    const qsizetype cut = text.size() - keep;
    text.truncate(keep);
    text += QStringLiteral(" [... %1 more characters not shown]").arg(cut);
    return text;
}

QColor ColourFromBgr(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

bool FitsWire(const QString& text) {
    const auto ucs4 = text.toUcs4();
    return std::all_of(ucs4.begin(), ucs4.end(),
                       [](char32_t cp) { return cp == U'?' || UnicodeToCp1252(cp) != '?'; });
}

std::string ToWire(const QString& text) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (char32_t cp : text.toUcs4()) out += UnicodeToCp1252(cp);
    return out;
}

}  // namespace vantor
