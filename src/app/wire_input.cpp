// SPDX-License-Identifier: MIT
#include "app/wire_input.h"

#include <QLabel>
#include <QLineEdit>
#include <memory>

#include "common/cp1252.h"

namespace vantor {

namespace {

bool PrintableCp1252(QChar c) {
    if (c.isSurrogate()) return false;
    const char32_t code = c.unicode();
    if (code < 0x20 || code == 0x7F) return false;
    const auto byte = static_cast<unsigned char>(UnicodeToCp1252(code));
    if (byte == '?' && code != U'?') return false;  // the code page has no such character
    return byte >= 0x20 && byte != 0x7F;
}

}  // namespace

QString RefusedCharacterHint(QChar c, WireField field) {
    if (field == WireField::Nickname) {
        if (c.isSpace()) return QStringLiteral("A nickname cannot contain spaces.");
        if (c == u':' || c == u',')
            return QStringLiteral("A nickname cannot contain \":\" or \",\".");
    }
    if (!PrintableCp1252(c)) return QStringLiteral("Only Western European characters can be used.");
    return QString();
}

QString RefusedTextHint(const QString& text, WireField field) {
    for (const QChar c : text) {
        QString why = RefusedCharacterHint(c, field);
        if (!why.isEmpty()) return why;
    }
    return QString();
}

void GuardWireInput(QLineEdit* edit, QLabel* hint, WireField field) {
    // The hint stays until the field is emptied, so the next keystroke does not hide it.
    auto shown = std::make_shared<QString>();
    QObject::connect(edit, &QLineEdit::textEdited, hint,
                     [edit, hint, field, shown](const QString& text) {
                         QString kept;
                         const qsizetype at = edit->cursorPosition();
                         qsizetype cursor = at;
                         for (qsizetype i = 0; i < text.size(); ++i) {
                             const QString why = RefusedCharacterHint(text.at(i), field);
                             if (why.isEmpty()) {
                                 kept += text.at(i);
                                 continue;
                             }
                             *shown = why;
                             if (i < at) --cursor;
                         }
                         if (kept.size() != text.size()) {
                             edit->setText(kept);
                             edit->setCursorPosition(static_cast<int>(cursor));
                         }
                         if (text.isEmpty()) shown->clear();
                         hint->setText(*shown);
                         edit->setAccessibleDescription(*shown);
                     });
}

}  // namespace vantor
