// SPDX-License-Identifier: MIT
// The registry file fixture for systems without a registry.
#include "support/temp_registry.h"

#include <cstdlib>
#include <system_error>

namespace vantor::test {

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
