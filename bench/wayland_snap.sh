#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A still on a headless Sway (scripts/sway-session, 1920 x 1080 at scale 1):
# kadrix-tool snap against grim, both asking the compositor through
# wlr-screencopy, for a 400 x 300 region and the whole output. grim writes PPM,
# its cheapest format; ours writes the program's BMP. Whole commands, so each
# program's start and connection count; times are hyperfine's medians.
# Goal: our still within 1.2 x grim's of the same region.
#   bench/wayland_snap.sh [BUILD_DIR] [RUNS]     (default build, 15)
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
runs=${2:-15}
if [ -z "${KADRIX_WAYLAND_BENCH:-}" ]; then
    exec scripts/sway-session -- env KADRIX_WAYLAND_BENCH=1 "$(realpath "$0")" "$build" "$runs"
fi
tool=$build/tool/kadrix-tool
source bench/need
need "$tool" grim hyperfine python3

# As the user the session runs as: a folder of its own.
work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-wayland-XXXXXX")
trap 'rm -rf "$work"' EXIT

time_of() {
    local name=$1 command=$2
    hyperfine --style none -N --warmup 2 --runs "$runs" --export-json "$work/$name.json" \
        "$command" >/dev/null 2>&1 || {
        echo "failed: $command" >&2
        exit 1
    }
    python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' \
        "$work/$name.json"
}

results=()
for region in "100 100 400 300" "0 0 1920 1080"; do
    read -r x y w h <<<"$region"
    ours=$(time_of ours "$tool snap $x $y $w $h $work/k.bmp")
    grim=$(time_of grim "grim -g '$x,$y ${w}x$h' -t ppm $work/g.ppm")
    results+=("${w}x$h $ours $grim")
done

python3 - "${results[@]}" <<'PY'
import sys
print(f"{'region':>10} {'kadrix ms':>10} {'grim ms':>10} {'ratio':>6}   (whole commands, medians)")
worst = 0
for row in sys.argv[1:]:
    size, ours, grim = row.split()
    ratio = float(ours) / float(grim)
    worst = max(worst, ratio)
    print(f"{size:>10} {float(ours) * 1000:10.1f} {float(grim) * 1000:10.1f} {ratio:6.2f}")
print(f"\ngoal: {worst:.2f} <= 1.2: {'met' if worst <= 1.2 else 'NOT met'}")
PY
