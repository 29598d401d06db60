#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The window's "снимок" on a private 2560 x 1440 x 24 Xvfb with a window
# manager (MIT-SHM on), the capture frame 1920 x 1080 (and 640 x 480) at the
# top left over a plasma: from the click to the file complete, leaving out
# the caption's pause after it (bench/snapshot_bench, in one running window)
# against the floor, bench/snap_floor --count: a bare MIT-SHM grab of the
# same rectangle written as the same BMP file, timed in a process that is
# already connected and has its shared memory, as the window has.
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
source bench/screen
need "$bench" "$floor" convert display python3

memory_work window-snapshot
paint_root 2560x1440

printf '%-10s %12s %10s %6s\n' size "window ms" "floor ms" ratio
for size in 1920x1080 640x480; do
    w=${size%x*} h=${size#*x}
    "$bench" "$work" "$size" "$runs" >"$work/window"
    rm -f "$work"/*.bmp
    "$floor" --count "$runs" 0 0 "$w" "$h" "$work/f.bmp" >"$work/floor"
    python3 - "$size" "$work/window" "$work/floor" <<'PY'
import statistics, sys
size, window, floor = sys.argv[1], sys.argv[2], sys.argv[3]
ours = statistics.median(float(line) for line in open(window))
bare = statistics.median(float(line) for line in open(floor))
print(f"{size:<10} {ours:12.1f} {bare:10.1f} {ours / bare:6.2f}   goal <= 1.1: {'met' if ours / bare <= 1.1 else 'NOT met'}")
PY
done
