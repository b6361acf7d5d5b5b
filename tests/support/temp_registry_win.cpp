// SPDX-License-Identifier: MIT
// The registry fixture on Windows: a throw-away key stands in for HKEY_LOCAL_MACHINE, so tests
// never touch the machine's own settings and need no administrator rights.
#include <windows.h>

#include <random>
#include <string>
#include <system_error>

#include "support/temp_registry.h"

namespace vantor::test {
namespace {

constexpr const char* kTestRoot = "Software\\Vantor Desktop Tests";

}  // namespace

ScopedRegistry::ScopedRegistry() {
    std::random_device rd;
    const std::string sub = std::string(kTestRoot) + "\\" + std::to_string(rd());
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS) {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, key);
        RegCloseKey(key);
        standInKey_ = "HKEY_CURRENT_USER\\" + sub;
    }
    oldCwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
}

ScopedRegistry::~ScopedRegistry() {
    RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
    if (!standInKey_.empty()) {
        const std::string sub = standInKey_.substr(std::string("HKEY_CURRENT_USER\\").size());
        RegDeleteTreeA(HKEY_CURRENT_USER, sub.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, sub.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, kTestRoot);  // only succeeds once it is empty
    }
    std::error_code ec;
    std::filesystem::current_path(oldCwd_, ec);
}

}  // namespace vantor::test
