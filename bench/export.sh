#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Clip export: a 10 s clip of 1920 x 1080 x 32 screen content (100 frames at
# 10 a second, assembled by kadrix-tool avi from ten frames of a document
# scrolling under a title bar) exported by
#   kadrix-tool mp4   against   ffmpeg -c:v libx264 -preset veryfast -crf 20
#                               -pix_fmt yuv420p -movflags +faststart
#   kadrix-tool gif   against   ffmpeg's two passes, palettegen to a PNG, then
#                               paletteuse with it
# Prints the median time and peak memory of each, the time ratios to the
# peer, how much smaller the MP4 is than the AVI and its PSNR against the
# AVI's frames (ffmpeg's psnr filter).
# Goals: the MP4 at least 20 x smaller, PSNR at least 38 dB, encoding within
# 1.1 x ffmpeg; the GIF within 1.2 x ffmpeg; memory bounded (frames stream).
#   bench/export.sh [BUILD] [RUNS]     (default build, 3)
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
runs=${2:-3}
tool=$build/tool/kadrix-tool
source bench/need
source bench/rounds
need "$tool" ffmpeg /usr/bin/python3 /usr/bin/time

work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-export-XXXXXX")
trap 'rm -rf "$work"' EXIT

# Ten frames as the recorder writes them (54 header bytes, bottom-up BGRX
# rows): a window with a title bar, a side panel and lines of text, scrolled
# a little further in each.
/usr/bin/python3 - "$work" <<'PY'
import os, random, struct, sys
from PIL import Image, ImageDraw, ImageFont
width, height = 1920, 1080
try:
    font = ImageFont.truetype("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf", 15)
except OSError:
    font = ImageFont.load_default()
rng = random.Random(7)
words = ["кадр", "clip", "export", "экран", "window", "frame", "Kadrix", "12:30", "—", "палитра"]
lines = [" ".join(rng.choice(words) for _ in range(rng.randint(4, 22))) for _ in range(200)]
header = (b"BM" + struct.pack("<IHHI", 54 + width * height * 4, 0, 0, 54) +
          struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, width * height * 4, 0, 0, 0, 0))
for n in range(10):
    im = Image.new("RGB", (width, height), (246, 246, 246))
    d = ImageDraw.Draw(im)
    d.rectangle((0, 0, width, 32), fill=(52, 101, 164))
    d.text((12, 8), "Документ — Kadrix", font=font, fill=(255, 255, 255))
    d.rectangle((0, 32, 260, height), fill=(226, 230, 236))
    for i in range(40):
        d.text((16, 48 + 24 * i), f"Папка {i + 1}", font=font, fill=(30, 30, 30))
    for i in range(44):
        d.text((290, 48 + 22 * i), lines[(i + 3 * n) % len(lines)], font=font, fill=(20, 20, 20))
    d.rectangle((1500, 200, 1860, 420), fill=(200, 60, 40))
    pixels = im.transpose(Image.FLIP_TOP_BOTTOM).tobytes("raw", "BGRX")
    with open(os.path.join(sys.argv[1], f"Fr{n + 1:06d}.bmp"), "wb") as f:
        f.write(header + pixels)
PY
frames=()
for ((i = 0; i < 100; i++)); do frames+=("$work/Fr$(printf %06d $((i % 10 + 1))).bmp"); done
"$tool" avi 10 "$work/clip.avi" "${frames[@]}"
rm -f "$work"/Fr*.bmp

# measure NAME COMMAND...: one run; appends "seconds kilobytes" to $work/NAME.
measure() {
    local name=$1
    shift
    local start end
    start=$(date +%s%N)
    /usr/bin/time -f %M -o "$work/$name.rss" "$@" >/dev/null
    end=$(date +%s%N)
    echo "$(((end - start) / 1000)) $(cat "$work/$name.rss")" >>"$work/$name"
}
run_mp4() { measure mp4 "$tool" mp4 "$work/clip.avi"; }
run_ffmpeg_mp4() {
    measure ffmpeg_mp4 ffmpeg -v error -y -i "$work/clip.avi" -c:v libx264 -preset veryfast \
        -crf 20 -pix_fmt yuv420p -movflags +faststart "$work/peer.mp4"
}
run_gif() { measure gif "$tool" gif "$work/clip.avi"; }
run_ffmpeg_gif() {
    measure ffmpeg_gif sh -c 'ffmpeg -v error -y -i "$1" -vf palettegen "$2" &&
        ffmpeg -v error -y -i "$1" -i "$2" -lavfi paletteuse "$3"' sh \
        "$work/clip.avi" "$work/palette.png" "$work/peer.gif"
}

rounds "$runs" mp4 ffmpeg_mp4 gif ffmpeg_gif

size() { stat -c %s "$1"; }
psnr=$(ffmpeg -nostats -i "$work/clip.mp4" -i "$work/clip.avi" -lavfi psnr -f null - 2>&1 |
    sed -n 's/.*average:\([0-9.inf]*\).*/\1/p')

awk -v b="$(size "$work/clip.avi")" -v r="$runs" 'BEGIN {
    printf "10 s of 1920x1080x32 screen content (AVI %.1f MB), %d runs: median time, peak memory\n",
        b / 1048576, r }'
for pair in "mp4 ffmpeg_mp4 1.1" "gif ffmpeg_gif 1.2"; do
    read -r ours peer goal <<<"$pair"
    awk -v o="$ours" -v p="$peer" -v g="$goal" -v ous="$(median "$ours" 1)" \
        -v okb="$(median "$ours" 2)" -v pus="$(median "$peer" 1)" -v pkb="$(median "$peer" 2)" \
        'BEGIN {
        printf "  kadrix %-4s %7.2f s %7.1f MB   ffmpeg %7.2f s %7.1f MB   %5.2f x ffmpeg (goal %s)\n",
            o, ous / 1e6, okb / 1024, pus / 1e6, pkb / 1024, ous / pus, g }'
done
awk -v avi="$(size "$work/clip.avi")" -v mp4="$(size "$work/clip.mp4")" \
    -v peer="$(size "$work/peer.mp4")" -v gif="$(size "$work/clip.gif")" -v psnr="$psnr" 'BEGIN {
    printf "  MP4 %.2f MB (ffmpeg %.2f MB): %.0f x smaller than the AVI (goal 20); PSNR %s dB (goal 38)\n",
        mp4 / 1048576, peer / 1048576, avi / mp4, psnr
    printf "  GIF %.2f MB\n", gif / 1048576 }'
