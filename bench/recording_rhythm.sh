#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Recording rhythm and stop step through the real main window on a private
# 3840 x 2160 x 24 Xvfb (MIT-SHM on), a frame every 200 ms:
#   max 10         10 s maximised, frames the whole 3840 x 2160 screen (50)
#   1920x1080 10   10 s of a 1920 x 1080 frame, not maximised (50)
#   max 30         30 s maximised (150 frames, 5 GB)
# against ffmpeg -f x11grab taking the same area at 5 frames a second for the
# same seconds into an uncompressed AVI (the peer that grabs and writes the
# same frames). Prints, as medians over the runs, the frames each wrote, our
# late ticks (from the kadrix.recording debug log) and the stop step: ours
# from the recording's last second to the window back with the clip complete,
# ffmpeg's from its last frame in the clip to its end.
# Given an earlier build's recording_rhythm_bench, runs it in the same rounds
# and prints its stop step beside ours.
# Goals: every frame (50 or 150) with no late tick; a stop step of at most
# 0.2 s for max 30 and 1920x1080 10.
#   bench/recording_rhythm.sh [BUILD_DIR] [RUNS] [EARLIER_BENCH]   (build, 3)
# Frames and clips go to a folder under $TMPDIR (up to 10 GB at once).
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${KADRIX_RHYTHM_BENCH_DISPLAY:-}" ]; then
    exec env KADRIX_RHYTHM_BENCH_DISPLAY=1 scripts/xvfb-session --size 3840x2160 --depth 24 -- \
        "$0" "$@"
fi

build=$(realpath "${1:-build}")
runs=${2:-3}
earlier=${3:+$(realpath "$3")}
bench=$build/bench/recording_rhythm_bench
source bench/need
source bench/rounds
source bench/screen
need "$bench" ffmpeg ffprobe convert display ${earlier:+"$earlier"}

work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-rhythm-XXXXXX")
out=$work/out
mkdir "$out"
trap 'rm -rf "$work"' EXIT

paint_root 3840x2160

# kadrix NAME BENCH AREA SECONDS: appends "stop-ms frames late-ticks" to $work/NAME.
kadrix() {
    local name=$1 binary=$2 area=$3 seconds=$4
    rm -rf "${out:?}"/*
    sync
    QT_LOGGING_RULES="kadrix.recording.debug=true" "$binary" "$out" "$seconds" "$area" \
        >"$work/stdout" 2>"$work/log"
    local frames stop late
    frames=$(awk '/^frames/ {print $2}' "$work/stdout")
    stop=$(awk '/^stop/ {printf "%d", $2 * 1000}' "$work/stdout")
    late=$(grep -c 'late frame tick' "$work/log" || true)
    echo "$stop $frames $late" >>"$work/$name"
}

# ffmpeg NAME AREA SECONDS: appends "stop-ms frames 0" to $work/NAME. Its stop
# step runs from its last frame's arrival in the clip (the last time the file
# grew by half a frame or more, looked at every 10 ms) to its end.
ffmpeg_run() {
    local name=$1 size=$2 seconds=$3
    [ "$size" = max ] && size=3840x2160
    local half=$((${size%x*} * ${size#*x} * 2))
    rm -rf "${out:?}"/*
    sync
    ffmpeg -v error -y -f x11grab -draw_mouse 0 -framerate 5 -video_size "$size" \
        -i "$DISPLAY+0,0" -c:v rawvideo -pix_fmt bgra -t "$seconds" "$out/clip.avi" &
    local pid=$! last=0 size_then=0 now bytes
    while kill -0 "$pid" 2>/dev/null; do
        bytes=$(stat -c %s "$out/clip.avi" 2>/dev/null || echo 0)
        now=$(date +%s%N)
        if [ "$bytes" -ge $((size_then + half)) ]; then
            last=$now size_then=$bytes
        fi
        sleep 0.01
    done
    wait "$pid"
    local end frames
    end=$(date +%s%N)
    frames=$(ffprobe -v error -count_packets -select_streams v:0 -show_entries \
        stream=nb_read_packets -of csv=p=0 "$out/clip.avi")
    echo "$(((end - last) / 1000000)) $frames 0" >>"$work/$name"
}

cases=("max 10" "1920x1080 10" "max 30")
names=()
for c in "${cases[@]}"; do
    read -r area seconds <<<"$c"
    id=${area}_$seconds
    eval "run_ours_$id() { kadrix ours_$id '$bench' $area $seconds; }"
    eval "run_ffmpeg_$id() { ffmpeg_run ffmpeg_$id $area $seconds; }"
    names+=("ours_$id" "ffmpeg_$id")
    if [ -n "$earlier" ]; then
        eval "run_earlier_$id() { kadrix earlier_$id '$earlier' $area $seconds; }"
        names+=("earlier_$id")
    fi
done
rounds "$runs" "${names[@]}"

fstype=$(df --output=fstype "$work" | tail -1)
printf 'Recordings on %s, a frame every 200 ms; medians of %d runs\n' "$fstype" "$runs"
printf '%-14s %7s %5s %9s %14s %14s %9s\n' case frames late "stop s" "earlier stop s" "ffmpeg frames" "ffmpeg s"
for c in "${cases[@]}"; do
    read -r area seconds <<<"$c"
    id=${area}_$seconds
    earlier_stop=-
    [ -n "$earlier" ] && earlier_stop=$(awk -v v="$(median "earlier_$id" 1)" 'BEGIN {printf "%.2f", v / 1000}')
    awk -v c="$c" -v s="$(median "ours_$id" 1)" -v f="$(median "ours_$id" 2)" \
        -v l="$(median "ours_$id" 3)" -v e="$earlier_stop" -v pf="$(median "ffmpeg_$id" 2)" \
        -v ps="$(median "ffmpeg_$id" 1)" -v want="$((seconds * 5))" 'BEGIN {
        printf "%-14s %7d %5d %9.2f %14s %14d %9.2f\n", c, f, l, s / 1000, e, pf, ps / 1000
        goal = f == want && l == 0 && (c == "max 10" || s <= 200)
        printf "  goal: %d frames, no late tick%s: %s\n", want,
            c == "max 10" ? "" : ", stop step <= 0.2 s", goal ? "met" : "NOT met" }'
done
echo "(every run: stop step in ms, frames, late ticks)"
for name in "${names[@]}"; do
    printf '  %-20s %s\n' "$name" "$(tr '\n' ';' <"$work/$name")"
done
