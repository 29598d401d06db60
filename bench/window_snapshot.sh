#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window's "снимок" on a private 2560 x 1440 x 24 Xvfb with a window
# manager (MIT-SHM on), the capture frame 1920 x 1080 (and 640 x 480) at the
# top left over a plasma: from the click to the file complete, leaving out
# the caption's pause after it (bench/snapshot_bench, in one running window)
# against the floor, bench/snap_floor: a bare MIT-SHM grab of the same
# rectangle written as the same BMP file, a whole command (hyperfine).
# Prints medians and the ratio. Goal: at most 1.1 x the floor.
#   bench/window_snapshot.sh [BUILD_DIR] [RUNS]     (default build, 15)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${KADRIX_WINDOW_SNAPSHOT_BENCH_DISPLAY:-}" ]; then
    exec env KADRIX_WINDOW_SNAPSHOT_BENCH_DISPLAY=1 scripts/xvfb-session --size 2560x1440 \
        --depth 24 -- "$0" "$@"
fi

build=$(realpath "${1:-build}")
runs=${2:-15}
bench=$build/bench/snapshot_bench
floor=$build/bench/snap_floor
source bench/need
need "$bench" "$floor" convert display hyperfine python3

parent=${TMPDIR:-/dev/shm}
[ -d "$parent" ] && [ -w "$parent" ] || parent=/tmp
work=$(mktemp -d "$parent/kadrix-bench-window-snapshot-XXXXXX")
trap 'rm -rf "$work"' EXIT

convert -size 2560x1440 -seed 7 plasma:fractal "$work/screen.png"
display -window root "$work/screen.png" || true
rm "$work/screen.png"

printf '%-10s %12s %10s %6s\n' size "window ms" "floor ms" ratio
for size in 1920x1080 640x480; do
    w=${size%x*} h=${size#*x}
    "$bench" "$work" "$size" "$runs" >"$work/window"
    rm -f "$work"/*.bmp
    hyperfine --style none -N --warmup 1 --runs "$runs" --prepare "rm -f $work/f.bmp" \
        --export-json "$work/floor.json" "$floor 0 0 $w $h $work/f.bmp" >/dev/null 2>&1
    python3 - "$size" "$work/window" "$work/floor.json" <<'PY'
import json, statistics, sys
size, window, floor = sys.argv[1], sys.argv[2], sys.argv[3]
ours = statistics.median(float(line) for line in open(window))
bare = json.load(open(floor))["results"][0]["median"] * 1000
print(f"{size:<10} {ours:12.1f} {bare:10.1f} {ours / bare:6.2f}   goal <= 1.1: {'met' if ours / bare <= 1.1 else 'NOT met'}")
PY
done
