// SPDX-License-Identifier: MIT
#pragma once

#include <cstring>
#include <string>

namespace vantor {

// The system's reason for an errno value, as a sentence goes on: "permission denied".
inline std::string ErrorWords(int error) {
    std::string words = std::strerror(error);
    if (words.size() > 1 && words[0] >= 'A' && words[0] <= 'Z' && words[1] > 'Z')
        words[0] = static_cast<char>(words[0] - 'A' + 'a');
    return words;
}

}  // namespace vantor
