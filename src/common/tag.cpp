// SPDX-License-Identifier: MIT
#include "common/tag.h"

namespace vantor {

std::string TagText(const Tag& tag) {
    if (const int* n = std::get_if<int>(&tag)) return std::to_string(*n);
    if (const std::string* s = std::get_if<std::string>(&tag)) return *s;
    return {};
}

bool TagIsBlank(const Tag& tag) {
    if (std::holds_alternative<std::monostate>(tag)) return true;
    if (const int* n = std::get_if<int>(&tag)) return *n == 0;
    return std::get<std::string>(tag).empty();
}

}  // namespace vantor
