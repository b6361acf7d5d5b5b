#!/usr/bin/env bash
# Checks the built package: its file list, both validators, and that the client unpacked into a
# scratch root (no file of the build tree) starts and shows its main window under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/../.."
deb=$(ls -t build/vantor-desktop_*.deb | head -n1)
app_id=org.vantordesktop.VantorDesktop
fail() { echo "package check: $*" >&2; exit 1; }

files=$(dpkg-deb -c "$deb" | awk '{print $6}')
for f in ./usr/bin/vantor-desktop ./usr/bin/vantor-server \
         ./usr/share/applications/$app_id.desktop ./usr/share/metainfo/$app_id.metainfo.xml \
         ./usr/share/doc/vantor-desktop/copyright; do
    grep -qx "$f" <<<"$files" || fail "missing $f"
done
for side in 16 32 48 64 128 256; do
    f=./usr/share/icons/hicolor/${side}x${side}/apps/vantor-desktop.png
    grep -qx "$f" <<<"$files" || fail "missing $f"
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6' <<<"$depends" || fail "Depends lacks Qt Widgets: $depends"
grep -q 'libqt6multimedia6' <<<"$depends" || fail "Depends lacks Qt Multimedia: $depends"

scratch=$(mktemp -d)
trap 'kill "${xvfb_pid:-}" "${app_pid:-}" 2>/dev/null || true; rm -rf "$scratch"' EXIT
dpkg-deb -x "$deb" "$scratch/root"
desktop-file-validate "$scratch/root/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$scratch/root/usr/share/metainfo/$app_id.metainfo.xml" >/dev/null
file "$scratch/root/usr/share/icons/hicolor/256x256/apps/vantor-desktop.png" | grep -q '256 x 256' ||
    fail "the 256 pixel icon is not 256 x 256"

# Start the unpacked client on a display of its own, away from the build tree.
display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
mkdir -p "$scratch/home"
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
(cd "$scratch/home" && HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" \
    VANTOR_REGISTRY="$scratch/home/registry.reg" DISPLAY="$display" QT_QPA_PLATFORM=xcb \
    exec "$scratch/root/usr/bin/vantor-desktop") &
app_pid=$!
for _ in $(seq 100); do
    if xwininfo -display "$display" -root -tree 2>/dev/null | grep -q '"Vantor Desktop'; then
        echo "package check: $(basename "$deb") passed"
        exit 0
    fi
    kill -0 "$app_pid" 2>/dev/null || fail "the client ended before showing its window"
    sleep 0.1
done
fail "no main window within 10 s"
