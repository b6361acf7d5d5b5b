// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace vantor {

// The service's ten fixed lobby names, index 0 to 9; a lobby's channel carries its index.
inline constexpr std::string_view kLobbyNameList =
    "Azure Barracks|Crimson Barracks|Harbor Dive|Iron Hand|Captain's Hottub|Orchid Talk|"
    "Prophet Korner|Radio Briefing|Azure Barracks_2|Crimson Barracks_2";

namespace lobby_detail {
constexpr std::array<std::string_view, 10> Split(std::string_view list) {
    std::array<std::string_view, 10> names{};
    std::size_t start = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i <= list.size() && n < names.size(); ++i) {
        if (i == list.size() || list[i] == '|') {
            names[n++] = list.substr(start, i - start);
            start = i + 1;
        }
    }
    return names;
}
}  // namespace lobby_detail

// The same names, one per index.
inline constexpr std::array<std::string_view, 10> LobbyNames = lobby_detail::Split(kLobbyNameList);

static_assert(LobbyNames[3] == "Iron Hand" && LobbyNames[9] == "Crimson Barracks_2");

}  // namespace vantor
