// SPDX-License-Identifier: MIT
#include "session/buddy_list.h"

#include "common/wire_text.h"

namespace vantor {

std::vector<std::string> SplitBuddyList(const std::string& list) {
    std::vector<std::string> nicks;
    for (std::string_view nick : SplitOn(list, '`')) {
        if (!nick.empty()) nicks.emplace_back(nick);  // "``" and the ends give no nickname
    }
    return nicks;
}

}  // namespace vantor
