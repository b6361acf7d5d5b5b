// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace vantor::test {

// A fresh, empty temporary folder, removed with everything in it on destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Gives the settings store an empty registry of its own for the test's lifetime: a registry file in
// a temporary folder or, on Windows, a throw-away key under HKEY_CURRENT_USER that stands in for
// HKEY_LOCAL_MACHINE in this process. Makes the folder the current directory (where the debug dump
// file lands) and, on POSIX, the user's data folder (where the reorder's restore record lands).
class ScopedRegistry {
public:
    ScopedRegistry();
    ~ScopedRegistry();
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;
    std::filesystem::path File() const { return dir_.Path() / "registry.reg"; }
    const std::filesystem::path& Dir() const { return dir_.Path(); }
    // Windows: the stand-in key as reg.exe names it (HKEY_CURRENT_USER\...); empty elsewhere.
    const std::string& StandInKey() const { return standInKey_; }

private:
    TempDir dir_;
    std::vector<std::pair<std::string, std::optional<std::string>>> oldEnv_;  // POSIX only
    std::filesystem::path oldCwd_;
    std::string standInKey_;
};

}  // namespace vantor::test
