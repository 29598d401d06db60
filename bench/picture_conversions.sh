#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The picture conversions on one 1920 x 1080 picture at 32 bits, as the
# snapshot writes it. Whole commands, timed by hyperfine (medians):
#   JPEG:  kadrix-tool jpg                      (load with libjpeg-turbo, encode)
#          cjpeg -quality 90 -baseline          (libjpeg-turbo's own program)
#          ImageMagick -sampling-factor 2x2 -quality 90
#   icon:  kadrix-tool ico
#          ImageMagick: the top-left 32 x 32, mapped to the 16 standard
#          colours, white transparent
# then the JPEG encoder call alone (jpeg_encode_bench) against libjpeg-turbo's
# tjbench on the same pixels, with the accurate integer DCT that libjpeg's
# defaults choose and, for reference, tjbench's default fast DCT.
# Goals: kadrix-tool jpg at most 1.5 x cjpeg and 0.5 x ImageMagick; the
# encoder call at most 1.15 x tjbench (accurate DCT); kadrix-tool ico at most
# 0.25 x ImageMagick.
#   bench/picture_conversions.sh [BUILD_DIR] [SECONDS]     (default build, 5)
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
seconds=${2:-5}
tool=$build/tool/kadrix-tool
encoder=$build/bench/jpeg_encode_bench
python=/usr/bin/python3 # the system interpreter, which has Pillow
source bench/need
need "$tool" "$encoder" cjpeg convert tjbench hyperfine "$python"

work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-pictures-XXXXXX")
trap 'rm -rf "$work"' EXIT

# A photo-like plasma with flat bands across it, written as the snapshot
# writes a 32-bit picture: 54 header bytes, bottom-up BGRX rows.
convert -size 1920x1080 -seed 7 plasma:fractal -fill '#3060a0' -draw 'rectangle 0,0 1919,80' \
    -fill white -draw 'rectangle 200,300 900,700' "$work/source.png"
"$python" - "$work" <<'PY'
import struct, sys
from PIL import Image
im = Image.open(sys.argv[1] + "/source.png").convert("RGB").transpose(Image.FLIP_TOP_BOTTOM)
pixels = im.tobytes("raw", "BGRX")
header = (b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54) +
          struct.pack("<IiiHHIIiiII", 40, 1920, 1080, 1, 32, 0, len(pixels), 0, 0, 0, 0))
open(sys.argv[1] + "/pic.bmp", "wb").write(header + pixels)
PY
bmp=$work/pic.bmp
convert xc:black xc:maroon xc:green xc:olive xc:navy xc:purple xc:teal xc:grey xc:silver \
    xc:red xc:lime xc:yellow xc:blue xc:fuchsia xc:aqua xc:white +append "$work/standard16.png"

hyperfine --style basic --warmup 3 --min-runs 20 --export-json "$work/runs.json" \
    -n kadrix-tool "'$tool' jpg '$bmp'" \
    -n cjpeg "cjpeg -quality 90 -baseline -outfile '$work/cjpeg.jpg' '$bmp'" \
    -n imagemagick "convert '$bmp' -sampling-factor 2x2 -quality 90 '$work/im.jpg'" \
    -n "kadrix-tool ico" "'$tool' ico '$bmp'" \
    -n "imagemagick ico" "convert '$bmp' -crop 32x32+0+0 +repage -dither None \
        -remap '$work/standard16.png' -transparent white '$work/im.ico'" >/dev/null

# tjbench prints one table row per test; the compression rate in
# megapixels per second is the seventh field ("BGRX (TD)" takes two).
tj() { tjbench "$bmp" 90 -subsamp 420 -bgrx -componly -nowrite -quiet -benchtime "$seconds" "$@" |
    awk '$1 == "BGRX" { print 1920 * 1080 / 1e6 / $7 * 1000 }'; }
tj_accurate=$(tj -accuratedct)
tj_fast=$(tj -fastdct)
ours=$("$encoder" "$bmp" "$seconds" | awk '{ print $1 }')

"$python" - "$work/runs.json" "$ours" "$tj_accurate" "$tj_fast" \
    "$(stat -c %s "$work/pic.jpg")" "$(stat -c %s "$work/cjpeg.jpg")" <<'PY'
import json, sys
runs = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
ms = {name: r["median"] * 1000 for name, r in runs.items()}
# CPU time (user + system) as well: on a busy machine it varies less.
cpu = {name: (r["user"] + r["system"]) * 1000 for name, r in runs.items()}
ours, tj_accurate, tj_fast = map(float, sys.argv[2:5])
print("1920x1080x32 BMP: median wall time and mean CPU time of hyperfine runs")
for name in ("kadrix-tool", "cjpeg", "imagemagick", "kadrix-tool ico", "imagemagick ico"):
    print(f"  {name:16} {ms[name]:8.2f} ms wall  {cpu[name]:8.2f} ms CPU")
for ours_name, peer, goal in (("kadrix-tool", "cjpeg", 1.5), ("kadrix-tool", "imagemagick", 0.5),
                              ("kadrix-tool ico", "imagemagick ico", 0.25)):
    print(f"  {ours_name} / {peer}: {ms[ours_name] / ms[peer]:.2f} wall, "
          f"{cpu[ours_name] / cpu[peer]:.2f} CPU  (goal <= {goal})")
print(f"  JPEG output {sys.argv[5]} bytes, cjpeg's {sys.argv[6]} bytes")
print("encoder call alone, pixels in memory")
print(f"  kadrix encodeJpeg        {ours:8.2f} ms")
print(f"  tjbench, accurate DCT    {tj_accurate:8.2f} ms  ratio {ours / tj_accurate:.2f}  (goal <= 1.15)")
print(f"  tjbench, fast DCT        {tj_fast:8.2f} ms  ratio {ours / tj_fast:.2f}")
PY
