#!/bin/sh
# Runs a cross-built Windows program under Wine, headless, in the build folder's own Wine prefix
# (made fresh by scripts/test, so no state is shared between runs). Used as the test emulator.
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="${VANTOR_WINEPREFIX:-$here/wine-prefix}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
if command -v wine64 >/dev/null 2>&1; then wine=wine64
elif [ -x /usr/lib/wine/wine64 ]; then wine=/usr/lib/wine/wine64
else wine=wine
fi
exec "$wine" "$@"
