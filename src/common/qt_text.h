// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

// Wire text to QString and back; the UI converts only here. Received text that is valid UTF-8
// with bytes past ASCII reads as UTF-8 (other clients send it); anything else as Windows-1252.
// What goes out is always Windows-1252, the code page the client announces.
QString FromWire(std::string_view bytes);
std::string ToWire(const QString& text);
// Every character of the text has a Windows-1252 byte, so ToWire changes nothing to "?".
bool FitsWire(const QString& text);
// The notice of a send box that refuses a line FitsWire does not take.
inline constexpr QStringView kCannotSend =
    u"The line holds characters that cannot be sent; it was not sent.";

// A history entry is one line: a line break inside received text must not start a line that
// passes for someone else's. Every kind of line break becomes a space; the other control
// characters but tab (colour codes, bells, escapes) have no glyph and would show as boxes, so
// they are left out.
QString OneLine(QString text);

// One received entry never freezes a window: text past this many characters is cut for display
// (the debug log keeps the whole line).
inline constexpr qsizetype kDisplayCut = 2000;

// `text` cut to kDisplayCut characters, with a visible mark saying how much was left out.
QString CutForDisplay(QString text);

// A colour value of the settings and controls: 0x00BBGGRR, red in the low byte.
QColor ColourFromBgr(std::uint32_t value);

}  // namespace vantor
