#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The program installed into a temporary prefix, started on the test display:
# its window's class is the launcher's StartupWMClass, so that the desktop
# ties the window to the launcher, and its icon comes in every installed size
# from the prefix, not from the source tree or the build.
#   installed_window.sh BUILD_DIR APP_ID      (on a display)
set -euo pipefail
build=$1 id=$2

prefix=$(mktemp -d)
pid=
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    rm -rf "$prefix"
}
trap cleanup EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

wm_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$id.desktop")
cd "$prefix"
# A runtime folder of its own for the lock: no other copy on the machine
# keeps this one from starting.
mkdir -m 700 "$prefix/runtime"
XDG_RUNTIME_DIR=$prefix/runtime "$prefix/bin/kadrix" &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" --class "^$wm_class\$" |
         head -n 1)
[ -n "$window" ] || { echo "FAIL: no window of class $wm_class"; exit 1; }

class=$(xprop -id "$window" WM_CLASS)
[ "$class" = "WM_CLASS(STRING) = \"kadrix\", \"$wm_class\"" ] ||
    { echo "FAIL: $class, the launcher says $wm_class"; exit 1; }

# _NET_WM_ICON: width, height and the pixels of each size in turn. The icon
# comes just after the window is up.
icon_sizes() {
    xprop -id "$window" -notype -len 1000000 32c _NET_WM_ICON |
        sed 's/^[^=]*= //' | tr -d ' ' | tr ',' '\n' |
        awk 'skip > 0 { skip--; next }
             !w { w = $1; next }
             { printf "%dx%d ", w, $1; skip = w * $1; w = 0 }'
}
for _ in $(seq 200); do
    sizes=$(icon_sizes)
    [ "$sizes" = "16x16 32x32 48x48 64x64 128x128 256x256 " ] && break
    sleep 0.05
done
[ "$sizes" = "16x16 32x32 48x48 64x64 128x128 256x256 " ] ||
    { echo "FAIL: the window's icon sizes are '$sizes'"; exit 1; }
echo "window class $wm_class, icon sizes $sizes"
