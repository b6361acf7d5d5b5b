// SPDX-License-Identifier: MIT
#include "controls/history_text.h"

#include <QGlyphRun>
#include <QRawFont>
#include <QTextLayout>
#include <algorithm>
#include <cmath>
#include <string_view>

namespace vantor {

namespace {

bool IsMark(QChar::Category category) {
    return category == QChar::Mark_NonSpacing || category == QChar::Mark_SpacingCombining ||
           category == QChar::Mark_Enclosing;
}

}  // namespace

int CapMarks(QString& text) {
    const QStringView in(text);  // read without detaching: most text is left as it is
    if (std::all_of(in.begin(), in.end(), [](QChar c) { return c.unicode() < 0x300; })) return 0;
    int most = 0;
    int marks = 0;
    QString out;  // the text kept, once a mark was left out
    for (qsizetype i = 0; i < in.size();) {
        const QChar c = in[i];
        qsizetype units = 1;
        bool keep = true;
        if (c.unicode() < 0x300) {
            marks = 0;  // nothing below the first combining mark is one
        } else {
            char32_t code = c.unicode();
            if (c.isHighSurrogate() && i + 1 < in.size() && in[i + 1].isLowSurrogate()) {
                code = QChar::surrogateToUcs4(c, in[i + 1]);
                units = 2;
            }
            const QChar::Category category = QChar::category(code);
            if (IsMark(category)) {
                keep = ++marks <= kMarksShown;
                most = std::max(most, std::min(marks, kMarksShown));
            } else if (category != QChar::Other_Format) {
                marks = 0;
            }
        }
        if (!keep && out.isNull()) {
            out.reserve(in.size());
            out.append(in.left(i));
        }
        if (keep && !out.isNull()) out.append(in.mid(i, units));
        i += units;
    }
    if (!out.isNull()) text = std::move(out);
    return most;
}

QMarginsF MarkReach(const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine line = layout.createLine();
    if (!line.isValid()) {
        layout.endLayout();
        return {};
    }
    line.setPosition(QPointF(0, 0));
    layout.endLayout();
    qreal top = 0;
    qreal bottom = line.height();
    for (const QGlyphRun& run : layout.glyphRuns()) {
        const QRawFont raw = run.rawFont();
        const QList<quint32> glyphs = run.glyphIndexes();
        const QList<QPointF> positions = run.positions();
        for (qsizetype i = 0; i < glyphs.size() && i < positions.size(); ++i) {
            const QRectF ink = raw.boundingRect(glyphs[i]).translated(positions[i]);
            top = std::min(top, ink.top());
            bottom = std::max(bottom, ink.bottom());
        }
    }
    return {0, std::ceil(-top), 0, std::ceil(bottom - line.height())};
}

qsizetype LinkEnd(const QString& body, qsizetype from) {
    static constexpr std::u16string_view kOpen = u"([{<";
    static constexpr std::u16string_view kClose = u")]}>";
    int open[4] = {};
    qsizetype end = from;
    for (; end < body.size(); ++end) {
        const char16_t c = body[end].unicode();
        if (QChar::isSpace(c) || c == u'"') break;
        if (const auto k = kOpen.find(c); k != kOpen.npos) {
            ++open[k];
        } else if (const auto k2 = kClose.find(c); k2 != kClose.npos) {
            if (open[k2] == 0) break;
            --open[k2];
        }
    }
    static constexpr std::u16string_view kTrailing = u".,;:!?'";
    while (end > from && kTrailing.find(body[end - 1].unicode()) != kTrailing.npos) --end;
    return end;
}

bool MayHoldAddress(QStringView body) {
    if (body.contains(u"://")) return true;
    for (qsizetype dot = body.indexOf(u'.', 3); dot >= 0; dot = body.indexOf(u'.', dot + 1)) {
        if (body.mid(dot - 3, 3).compare(u"www", Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

}  // namespace vantor
