// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

class QLabel;
class QLineEdit;

namespace vantor {

// What the service can carry in a field: a nickname is printable Windows-1252 without a blank,
// colon or comma (those split words and lists on the wire); a password is printable
// Windows-1252. Anything else would reach the wire as "?".
enum class WireField { Nickname, Password };

// Why `c` cannot go into the field, as the hint under it reads; empty when it can.
QString RefusedCharacterHint(QChar c, WireField field);

// The hint for the first refused character of `text`; empty when every character is accepted.
QString RefusedTextHint(const QString& text, WireField field);

// Keeps refused characters out of `edit` however the user brings them (typing, pasting,
// dropping) and shows why in `hint` until the user empties the field. Text set by the program is
// left alone.
void GuardWireInput(QLineEdit* edit, QLabel* hint, WireField field);

}  // namespace vantor
