#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Sound recording: 10 s from the default sound input into a WAV file by
#   kadrix  (the recorder the window uses: Qt's audio input, our WAV writer)
#   parecord (the sound server's own recorder, the same input, the same 10 s
#            of sound at 48 kHz stereo 16-bit, cut off by head)
# Prints each one's CPU time as a share of one core over the recording, and
# for kadrix how long the stop step waited for the last of the sound and how
# long the save took after it. Goal: kadrix under 2 % of one core, the file
# complete within 100 ms after the sound is in.
#   bench/sound_recording.sh [BUILD_DIR] [RUNS]   (default build, 3)
# Runs on a private sound server with a tone (scripts/pulse-session) unless
# KADRIX_BENCH_DESKTOP_SOUND=1, which records from the desktop's own input.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${KADRIX_BENCH_DESKTOP_SOUND:-}" != 1 ] && [ -z "${KADRIX_PULSE_SESSION:-}" ]; then
    exec scripts/pulse-session -- "$0" "$@"
fi

bench=$(realpath "${1:-build}")/bench/sound_record_bench
runs=${2:-3}
seconds=10
source bench/need
need "$bench" parecord soxi /usr/bin/time

work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-sound-XXXXXX")
trap 'rm -rf "$work"' EXIT

for ((run = 0; run < runs; run++)); do
    # The recorder's own figures: CPU over the recording, stop wait, save.
    "$bench" "$work/kadrix.wav" "$seconds" >>"$work/kadrix"
    # The whole process, start-up included, for both.
    /usr/bin/time -a -o "$work/kadrix.time" -f "%e %U %S" "$bench" "$work/kadrix.wav" "$seconds" >/dev/null
    /usr/bin/time -a -o "$work/parecord.time" -f "%e %U %S" sh -c \
        'parecord --raw --rate=48000 --channels=2 --format=s16le 2>/dev/null | head -c "$1" >"$2"' sh \
        $((seconds * 48000 * 4)) "$work/parecord.raw"
done

awk -v s="$seconds" '{ cpu += $1; wall += $2; stop += $3; save += $4; n++ } END {
    printf "kadrix recording only: %.2f %% of one core, stop waited %.0f ms, save %.0f ms (%d runs)\n",
        100 * cpu / wall, stop / n, save / n, n }' "$work/kadrix"
share() { awk '{ cpu += $2 + $3; wall += $1 } END { printf "%.3f", 100 * cpu / wall }' "$1"; }
k=$(share "$work/kadrix.time")
x=$(share "$work/parecord.time")
printf 'whole process over %d s: kadrix %.2f %%, parecord %.2f %% of one core, kadrix/parecord %.2f x\n' \
    "$seconds" "$k" "$x" "$(awk -v k="$k" -v x="$x" 'BEGIN { print (x > 0 ? k / x : 0) }')"
soxi -D "$work/kadrix.wav" | awk '{ printf "kadrix file: %.3f s of sound\n", $1 }'
