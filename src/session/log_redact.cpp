// SPDX-License-Identifier: MIT
#include "session/log_redact.h"

#include "common/wire_text.h"

namespace vantor {

std::string RedactForLog(std::string_view command) {
    // The server reads command words without regard to case, so "APGAR" would log on too.
    static constexpr std::string_view kWord = "apgar ";
    if (!SameAsciiNoCase(command.substr(0, kWord.size()), kWord)) return std::string(command);
    const std::size_t begin = kWord.size();
    const std::size_t end = command.find(' ', begin);
    std::string out(command.substr(0, begin));
    out += "********";
    if (end != std::string_view::npos) out += command.substr(end);
    return out;
}

}  // namespace vantor
