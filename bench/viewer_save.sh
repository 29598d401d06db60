#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The viewer's "Сохранить в JPG" on a 1920 x 1080 x 32 picture: caption in
# red at the bottom, nearest-neighbour resize to height 720, JPEG at quality
# 90, against ImageMagick doing the same:
#   convert in.bmp -fill red -annotate +0+1065 TEXT -filter point -resize x720 -quality 90
# Whole commands, run alternately (medians of wall and CPU time; CPU time
# varies less on a busy machine), and one save inside a running program
# (viewer_save_bench with RUNS), which is what the user waits for.
# Goal: the whole command at most 0.4 x ImageMagick.
#   bench/viewer_save.sh [BUILD_DIR] [RUNS]     (default build, 20)
set -euo pipefail
cd "$(dirname "$0")/.."

build=$(realpath "${1:-build}")
runs=${2:-20}
saver=$build/bench/viewer_save_bench
python=/usr/bin/python3 # the system interpreter, which has Pillow
source bench/need
need "$saver" convert "$python"

work=$(mktemp -d "${TMPDIR:-/tmp}/kadrix-bench-viewer-XXXXXX")
trap 'rm -rf "$work"' EXIT

bench/plasma-bmp "$work/pic.bmp"
bmp=$work/pic.bmp
text='Снимок экрана'

inside=$("$saver" "$bmp" 720 "$text" "$work/kadrix.jpg" "$runs" 2>/dev/null)

# Whole commands, alternating, after one warm-up run each.
"$python" - "$work" "$runs" "$inside" "$saver" "$bmp" "$text" <<'PY'
import resource, statistics, subprocess, sys, time
from PIL import Image
work, runs, inside, saver, bmp, text = sys.argv[1], int(sys.argv[2]), float(sys.argv[3]), *sys.argv[4:]
commands = {
    "kadrix": [saver, bmp, "720", text, f"{work}/kadrix.jpg"],
    "imagemagick": ["convert", bmp, "-fill", "red", "-annotate", "+0+1065", text, "-filter",
                    "point", "-resize", "x720", "-quality", "90", f"{work}/im.jpg"],
}
wall = {name: [] for name in commands}
cpu = {name: [] for name in commands}
for run in range(runs + 1):
    for name, command in commands.items():
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        start = time.perf_counter()
        subprocess.run(command, check=True, stderr=subprocess.DEVNULL)
        took = time.perf_counter() - start
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        if run:
            wall[name].append(took * 1000)
            cpu[name].append((after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime) * 1000)
ms = {name: statistics.median(times) for name, times in wall.items()}
cpu_ms = {name: statistics.median(times) for name, times in cpu.items()}
sizes = {name: Image.open(f"{work}/{file}").size for name, file in
         (("kadrix", "kadrix.jpg"), ("imagemagick", "im.jpg"))}
print(f"1920x1080x32 BMP, caption, resize to height 720, JPEG quality 90 ({runs} runs, medians)")
for name in commands:
    print(f"  {name:12} {ms[name]:8.2f} ms wall  {cpu_ms[name]:8.2f} ms CPU  -> {sizes[name][0]}x{sizes[name][1]}")
print(f"  kadrix / imagemagick: {ms['kadrix'] / ms['imagemagick']:.2f} wall, "
      f"{cpu_ms['kadrix'] / cpu_ms['imagemagick']:.2f} CPU  (goal <= 0.4)")
print(f"  one save in a running program: {inside:.2f} ms, "
      f"{inside / ms['imagemagick']:.2f} x ImageMagick's command")
PY
