// SPDX-License-Identifier: MIT
#include "support/temp_registry.h"

#include <cstdlib>
#include <random>
#include <system_error>

namespace vantor::test {

TempDir::TempDir() {
    std::random_device rd;
    auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / ("vantor-test-" + std::to_string(rd()));
        std::error_code ec;
        if (std::filesystem::create_directory(path_, ec)) break;
    }
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

ScopedRegistry::ScopedRegistry() {
    if (const char* old = std::getenv("VANTOR_REGISTRY")) {
        hadOld_ = true;
        oldValue_ = old;
    }
    setenv("VANTOR_REGISTRY", File().c_str(), 1);
    if (const char* old = std::getenv("XDG_DATA_HOME")) oldDataHome_ = old;
    setenv("XDG_DATA_HOME", dir_.Path().c_str(), 1);
    oldCwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
}

ScopedRegistry::~ScopedRegistry() {
    std::error_code ec;
    std::filesystem::current_path(oldCwd_, ec);
    if (hadOld_)
        setenv("VANTOR_REGISTRY", oldValue_.c_str(), 1);
    else
        unsetenv("VANTOR_REGISTRY");
    if (oldDataHome_)
        setenv("XDG_DATA_HOME", oldDataHome_->c_str(), 1);
    else
        unsetenv("XDG_DATA_HOME");
}

}  // namespace vantor::test
