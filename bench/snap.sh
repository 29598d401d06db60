#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Screen grabs into BMP files on one private 1920 x 1080 x 24 Xvfb (MIT-SHM
# on), at 1920 x 1080 and 640 x 480:
#   per frame:      kadrix-tool snap --count N   against   ffmpeg -f x11grab
#                   writing N BMP frames (its default 24-bit ones, and 32-bit
#                   ones of our size with -pix_fmt bgra); a frame's cost is
#                   (time for N frames - time for 1) / (N - 1), so that
#                   neither program's start counts
#   whole command:  kadrix-tool snap   against   import -window root -crop
#                   and against the floor, bench/snap_floor: a bare MIT-SHM
#                   grab written as the same BMP file, with nothing else
# Times are hyperfine's medians. Goals: our frame at most 0.5 x ffmpeg's,
# our whole command at most 0.6 x import's and 1.1 x the floor's.
#   bench/snap.sh [BUILD_DIR] [RUNS]     (default build, 7)
# The files go to a folder under $TMPDIR, or under /dev/shm when TMPDIR is
# not set, so that the disk's write-back does not drown the grab.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${KADRIX_SNAP_BENCH_DISPLAY:-}" ]; then
    exec env KADRIX_SNAP_BENCH_DISPLAY=1 scripts/xvfb-session --size 1920x1080 --depth 24 -- \
        "$0" "$@"
fi

build=$(realpath "${1:-build}")
runs=${2:-7}
tool=$build/tool/kadrix-tool
floor=$build/bench/snap_floor
frames=100
source bench/need
source bench/screen
need "$tool" "$floor" ffmpeg import convert display hyperfine python3

memory_work snap
paint_root 1920x1080

# time NAME COMMAND: hyperfine's median in seconds, the output files removed
# before each run.
time_of() {
    local name=$1 command=$2
    hyperfine --style none -N --warmup 1 --runs "$runs" --prepare "find $work -name '*.bmp' -delete" \
        --export-json "$work/$name.json" "$command" >/dev/null 2>&1 || {
        echo "failed: $command" >&2
        exit 1
    }
    python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["results"][0]["median"])' \
        "$work/$name.json"
}

# ffmpeg_grab SIZE COUNT [OPTIONS...]: the command for COUNT frames, each
# grabbed as soon as the last is written (without passthrough, ffmpeg would
# fill the 1000 fps timeline with copies of one grab).
ffmpeg_grab() {
    local size=$1 count=$2
    shift 2
    echo "ffmpeg -loglevel error -y -f x11grab -draw_mouse 0 -framerate 1000 -video_size $size" \
        "-i $DISPLAY+0,0 -fps_mode passthrough -frames:v $count $* $work/f%04d.bmp"
}

results=()
for size in 1920x1080 640x480; do
    w=${size%x*} h=${size#*x}
    ours1=$(time_of ours1 "$tool snap --count 1 0 0 $w $h $work/k.bmp")
    oursN=$(time_of oursN "$tool snap --count $frames 0 0 $w $h $work/k.bmp")
    ff1=$(time_of ff1 "$(ffmpeg_grab "$size" 1)")
    ffN=$(time_of ffN "$(ffmpeg_grab "$size" "$frames")")
    ffa1=$(time_of ffa1 "$(ffmpeg_grab "$size" 1 -pix_fmt bgra)")
    ffaN=$(time_of ffaN "$(ffmpeg_grab "$size" "$frames" -pix_fmt bgra)")
    one=$(time_of one "$tool snap 0 0 $w $h $work/k.bmp")
    import=$(time_of import "import -window root -crop ${size}+0+0 $work/i.bmp")
    bare=$(time_of bare "$floor 0 0 $w $h $work/f.bmp")
    results+=("$size $ours1 $oursN $ff1 $ffN $ffa1 $ffaN $one $import $bare")
done

python3 - "$frames" "$(df --output=fstype "$work" | tail -1)" "${results[@]}" <<'PY'
import sys
frames, fstype, rows = int(sys.argv[1]), sys.argv[2], [r.split() for r in sys.argv[3:]]
per = lambda one, many: (float(many) - float(one)) / (frames - 1) * 1000
print(f"Grab into BMP files ({fstype}), medians; per frame from {frames} frames minus 1")
print(f"{'size':>10} {'kadrix ms':>10} {'ffmpeg ms':>10} {'ratio':>6} {'ffmpeg 32-bit':>14} {'ratio':>6}")
goals = []
for size, o1, oN, f1, fN, a1, aN, one, imp, bare in rows:
    ours, ff, ffa = per(o1, oN), per(f1, fN), per(a1, aN)
    print(f"{size:>10} {ours:10.2f} {ff:10.2f} {ours / ff:6.2f} {ffa:14.2f} {ours / ffa:6.2f}")
    goals.append((size, ours / ff))
print(f"\n{'size':>10} {'snap ms':>10} {'import ms':>10} {'ratio':>6} {'floor ms':>9} {'ratio':>6}   (whole commands)")
for size, *_, one, imp, bare in rows:
    one, imp, bare = float(one), float(imp), float(bare)
    print(f"{size:>10} {one * 1000:10.1f} {imp * 1000:10.1f} {one / imp:6.2f} {bare * 1000:9.1f} {one / bare:6.2f}")
    goals.append((size + " command", one / imp))
    goals.append((size + " floor", one / bare))
print()
for name, ratio in goals:
    limit = {"command": 0.6, "floor": 1.1}.get(name.split()[-1], 0.5)
    print(f"goal {name}: {ratio:.2f} <= {limit}: {'met' if ratio <= limit else 'NOT met'}")
PY
