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
}

}  // namespace vantor::test
