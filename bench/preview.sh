#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The preview and the conversion strip on one 1920 x 1080 picture at 32 bits,
# as the snapshot writes it, in the main window (offscreen platform):
#   click-to-shown: a click on the listed picture until Image1 has painted it
#                   (content check, header check, decode, smooth scale, paint)
#                   against a bare QImage load + smooth scale of the same file
#   jpg, ico, emf:  each button of the strip against the library call alone
# Medians of preview_bench's alternating runs.
# Goals: click-to-shown at most 1.3 x the bare load and scale; each button at
# most 1.2 x its library call.
#   bench/preview.sh [BUILD_DIR] [RUNS]     (default build, 15)
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
runs=${2:-15}
bench=$build/bench/preview_bench
python=/usr/bin/python3 # the system interpreter, which has Pillow
source bench/need
need "$bench" convert "$python"

work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-preview-XXXXXX")
trap 'rm -rf "$work"' EXIT

bench/plasma-bmp "$work/pic.bmp"

QT_QPA_PLATFORM=offscreen "$bench" "$work" "$runs" 2>/dev/null | "$python" -c '
import sys
goals = {"click-to-shown": 1.3, "jpg": 1.2, "ico": 1.2, "emf": 1.2}
peers = {"click-to-shown": "QImage load + smooth scale", "jpg": "writeJpeg",
         "ico": "writeIcon", "emf": "bmp2emf"}
print("1920x1080x32 BMP, medians")
for line in sys.stdin:
    name, ours, peer = line.split()
    ours, peer = float(ours), float(peer)
    print(f"  {name:15} {ours:8.2f} ms   {peers[name]:27} {peer:8.2f} ms   "
          f"ratio {ours / peer:.2f}  (goal <= {goals[name]})")
'
