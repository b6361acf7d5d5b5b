// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace vantor::server {

struct Options {
    int basePort = 7000;
    std::filesystem::path dataDir;  // empty: the default folder
    bool demo = false;
    std::chrono::milliseconds pingInterval{90'000};
    std::size_t sendQueueLimit = 4 * 1024 * 1024;
    bool help = false;
};

// Parses the arguments after the program name; on failure returns false with a message.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// $XDG_DATA_HOME/vantor-server, or ~/.local/share/vantor-server.
std::filesystem::path DefaultDataDir();

std::string UsageText();

}  // namespace vantor::server
