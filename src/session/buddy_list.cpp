// SPDX-License-Identifier: MIT
#include "session/buddy_list.h"

namespace vantor {

std::vector<std::string> SplitBuddyList(const std::string& list) {
    std::vector<std::string> nicks;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find('`', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) nicks.push_back(list.substr(start, end - start));
        start = end + 1;
    }
    return nicks;
}

}  // namespace vantor
