// SPDX-License-Identifier: MIT
// The registry file fixture for systems without a registry.
#include "support/temp_registry.h"

#include <cstdlib>
#include <system_error>

namespace vantor::test {

ScopedRegistry::ScopedRegistry() {
    for (const char* name : {"VANTOR_REGISTRY", "XDG_DATA_HOME"}) {
        const char* old = std::getenv(name);
        oldEnv_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    setenv("VANTOR_REGISTRY", File().c_str(), 1);
    setenv("XDG_DATA_HOME", dir_.Path().c_str(), 1);
    oldCwd_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_.Path());
}

ScopedRegistry::~ScopedRegistry() {
    std::error_code ec;
    std::filesystem::current_path(oldCwd_, ec);
    for (const auto& [name, old] : oldEnv_) {
        if (old)
            setenv(name.c_str(), old->c_str(), 1);
        else
            unsetenv(name.c_str());
    }
}

}  // namespace vantor::test
