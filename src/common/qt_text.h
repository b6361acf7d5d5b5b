// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QList>
#include <QString>
#include <cstdint>
#include <string>
#include <string_view>

namespace vantor {

// Wire text (Windows-1252 bytes) to QString and back; the UI converts only here.
QString FromWire(std::string_view bytes);
std::string ToWire(const QString& text);

// A history entry is one line: a line break inside received text must not start a line that
// passes for someone else's. Every kind of line break becomes a space.
QString OneLine(QString text);

// One received entry never freezes a window: text past this many characters is cut for display
// (the debug log keeps the whole line).
inline constexpr qsizetype kDisplayCut = 2000;

// `text` cut to kDisplayCut characters, with a visible mark saying how much was left out.
QString CutForDisplay(QString text);

// A colour value of the settings and controls: 0x00BBGGRR, red in the low byte.
QColor ColourFromBgr(std::uint32_t value);

}  // namespace vantor
