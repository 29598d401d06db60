#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Recording rhythm through the real main window on a private 3840 x 2160 x 24
# Xvfb (MIT-SHM on): a 10-second clip (a frame every 200 ms, 50 frames)
#   maximised      frames are the whole 3840 x 2160 screen
#   1920x1080      a frame of that size, not maximised
# against ffmpeg -f x11grab taking the same area at 5 frames a second for the
# same 10 s into BMP files (the peer that grabs and writes the same bytes).
# Prints the frames each wrote, our late ticks (from the kadrix.recording
# debug log) and the time of our stop step (the clip's assembly), and the
# ratio of our frames to ffmpeg's. Goal: 50 frames and 0 late ticks in both.
#   bench/recording_rhythm.sh [BUILD_DIR] [SECONDS]     (default build, 10)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${KADRIX_RHYTHM_BENCH_DISPLAY:-}" ]; then
    exec env KADRIX_RHYTHM_BENCH_DISPLAY=1 scripts/xvfb-session --size 3840x2160 --depth 24 -- \
        "$0" "$@"
fi

build=$(realpath "${1:-build}")
seconds=${2:-10}
bench=$build/bench/recording_rhythm_bench
source bench/need
need "$bench" ffmpeg convert display

work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-rhythm-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Something to grab: a plasma over the whole root window.
convert -size 3840x2160 -seed 7 plasma:fractal "$work/screen.png"
display -window root "$work/screen.png" || true
rm "$work/screen.png"

printf '%s s recording, a frame every 200 ms (%d expected)\n' "$seconds" $((seconds * 5))
for area in max 1920x1080; do
    rm -rf "$work"/*
    QT_LOGGING_RULES="kadrix.recording.debug=true" "$bench" "$work" "$seconds" "$area" \
        >"$work/out" 2>"$work/log"
    frames=$(awk '/^frames/ {print $2}' "$work/out")
    stop=$(awk '/^stop/ {print $2}' "$work/out")
    late=$(grep -c 'late frame tick' "$work/log" || true)
    rm -rf "$work"/*
    size=$area
    [ "$area" = max ] && size=3840x2160
    ffmpeg -v error -f x11grab -framerate 5 -video_size "$size" -i "$DISPLAY+0,0" \
        -t "$seconds" -c:v bmp -pix_fmt bgra "$work/f%06d.bmp"
    peer=$(find "$work" -name 'f*.bmp' | wc -l)
    awk -v a="$area" -v f="$frames" -v l="$late" -v s="$stop" -v p="$peer" 'BEGIN {
        printf "  %-9s kadrix %3d frames, %2d late ticks, stop step %6.2f s   ffmpeg %3d frames   %4.2f x ffmpeg\n",
            a, f, l, s, p, f / p }'
done
