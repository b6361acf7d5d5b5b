// SPDX-License-Identifier: MIT
#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

namespace vantor {

// Opens a file for appending that only its owner may read: made with mode 0600 where the system
// has modes (an existing file's mode is tightened to that), never through a symbolic link, and
// only a regular file. nullptr when it cannot be opened, with the reason in a few words
// ("permission denied") in *why.
std::FILE* OpenPrivateAppend(const std::filesystem::path& path, std::string* why) noexcept;

}  // namespace vantor
