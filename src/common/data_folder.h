// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>

namespace vantor {

// The program's own data folder: $XDG_DATA_HOME/vantor-desktop, else under ~/.local/share, else
// under %LOCALAPPDATA% (relative to the working folder when none is set). Read anew at each
// call, so tests can move it. Relative values are ignored, as the XDG rules ask.
std::filesystem::path DataFolder();

}  // namespace vantor
