// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <string>
#include <string_view>

namespace vantor {

// Wire text (Windows-1252 bytes) to QString and back; the UI converts only here.
QString FromWire(std::string_view bytes);
std::string ToWire(const QString& text);

}  // namespace vantor
