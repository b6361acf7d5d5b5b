// SPDX-License-Identifier: MIT
#include "common/data_folder.h"

#include <cstdlib>

namespace vantor {

namespace fs = std::filesystem;

namespace {

fs::path EnvPath(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') return {};
    fs::path path(value);
    return path.is_absolute() ? path : fs::path();
}

}  // namespace

fs::path DataFolder() {
    fs::path base = EnvPath("XDG_DATA_HOME");
    if (base.empty()) {
        if (fs::path home = EnvPath("HOME"); !home.empty()) base = home / ".local" / "share";
    }
    if (base.empty()) base = EnvPath("LOCALAPPDATA");
    return base / "vantor-desktop";
}

}  // namespace vantor
