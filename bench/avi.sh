#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Clip assembly: 150 frames of 1920 x 1080 x 32 bits (30 s of recording)
# turned into one file by
#   kadrix-tool avi   (our uncompressed AVI)
#   ffmpeg            (muxing the same BMP files into an uncompressed AVI)
#   cat               (the same files into one file)
#   dd /dev/zero      (as many bytes written in 128 KiB pieces, none read:
#                      what the writing alone costs on this file system)
# Prints the median time, the peak memory and the best time of each, with the
# ratios to cat.
# Goal: kadrix within 0.6 x cat (the pixels move kernel-side, copy_file_range),
# peak memory under 40 MB.
#   bench/avi.sh [KADRIX_TOOL] [RUNS]     (default build/tool/kadrix-tool, 9)
# The frames and outputs go to a folder under $TMPDIR (1.3 GB each way).
set -euo pipefail
cd "$(dirname "$0")/.."

tool=$(realpath "${1:-build/tool/kadrix-tool}")
runs=${2:-9}
source bench/need
source bench/rounds
need "$tool" ffmpeg python3 /usr/bin/time

work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-avi-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Frames as the recorder writes them: 54 header bytes, then bottom-up BGRX
# rows; different content in every frame.
python3 - "$work" <<'EOF'
import os, struct, sys
width, height = 1920, 1080
size = width * height * 4
header = (b"BM" + struct.pack("<IHHI", 54 + size, 0, 0, 54) +
          struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, size, 0, 0, 0, 0))
for n in range(1, 151):
    with open(os.path.join(sys.argv[1], f"Fr{n:06d}.bmp"), "wb") as f:
        f.write(header + os.urandom(4096) * (size // 4096))
EOF
frames=("$work"/Fr*.bmp)

# measure NAME OUTPUT COMMAND...: one run from a synced disk, the output file
# removed first; appends "seconds kilobytes" to $work/NAME.
measure() {
    local name=$1 output=$2
    shift 2
    rm -f "$output"
    sync
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/$name.rss" "$@"
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(cat "$work/$name.rss")" >>"$work/$name"
}

run_kadrix() { measure kadrix "$work/kadrix.avi" "$tool" avi 10 "$work/kadrix.avi" "${frames[@]}"; }
run_ffmpeg() {
    measure ffmpeg "$work/ffmpeg.avi" ffmpeg -v error -y -framerate 10 -f image2 \
        -i "$work/Fr%06d.bmp" -c:v rawvideo "$work/ffmpeg.avi"
}
bytes=$(stat -c %s "${frames[@]}" | awk '{ s += $1 } END { print s }')
run_zeros() {
    measure zeros "$work/zeros.bin" dd if=/dev/zero of="$work/zeros.bin" bs=128K count="$bytes" \
        iflag=count_bytes status=none
}
run_cat() {
    measure cat "$work/cat.bin" sh -c 'out=$1; shift; cat "$@" >"$out"' sh "$work/cat.bin" \
        "${frames[@]}"
}

rounds "$runs" kadrix ffmpeg cat zeros

# best NAME: the least time (median, from bench/rounds, gives the middle one;
# column 1 is microseconds, 2 kilobytes). On a virtual machine whose free memory
# goes back to the host, a run that lands its output on such pages waits for
# the host and takes several times as long, whatever writes it; the best
# run shows what the copy itself costs.
best() { cut -d' ' -f1 "$work/$1" | sort -n | head -1; }

cat_us=$(median cat 1)
cat_best=$(best cat)
printf '%d frames of 1920x1080x32, %d runs: median time, peak memory; best time\n' ${#frames[@]} "$runs"
for name in kadrix ffmpeg cat zeros; do
    awk -v n="$name" -v us="$(median "$name" 1)" -v kb="$(median "$name" 2)" -v c="$cat_us" \
        -v b="$(best "$name")" -v cb="$cat_best" 'BEGIN {
        printf "  %-7s %8.3f s  %7.1f MB  %5.2f x cat    best %6.3f s  %5.2f x cat\n",
            n, us / 1e6, kb / 1024, us / c, b / 1e6, b / cb }'
done
