// SPDX-License-Identifier: MIT
#include "session/log_redact.h"

namespace vantor {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::string RedactForLog(std::string_view command) {
    // The server reads command words without regard to case, so "APGAR" would log on too.
    static constexpr std::string_view kWord = "apgar ";
    if (!StartsWithNoCase(command, kWord)) return std::string(command);
    const std::size_t begin = kWord.size();
    const std::size_t end = command.find(' ', begin);
    std::string out(command.substr(0, begin));
    out += "********";
    if (end != std::string_view::npos) out += command.substr(end);
    return out;
}

}  // namespace vantor
