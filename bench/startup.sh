#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of the program, on one private 1280 x 1024 Xvfb with openbox,
# against a trivial Qt 6 program that shows one window (bench/trivial_window),
# started alternately, each timed by bench/map_watcher from its start:
#   window mapped:  the first MapNotify; resident memory 1 s after it
#                   (no notification area, so both windows stay shown).
#                   Goals: time at most 1.5 x, memory at most 1.3 x the peer's.
#   into the tray:  with trayer as the notification area, until the window is
#                   hidden and the icon docked, against the peer's start to
#                   its end on its first paint. Goal: at most 2 x.
# Medians of RUNS rounds. Beside the clock's time, the processor time the
# program used until then (all threads), which a busy machine (the goals'
# figures come from a quiet one) disturbs far less. The peer's processor time
# into the tray is its whole run (rusage), the same for both rows otherwise.
#   bench/startup.sh [BUILD_DIR] [RUNS]     (default build, 15)
# KADRIX=path measures another build of the program (an older one, say)
# against the same peer.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${KADRIX_STARTUP_BENCH_DISPLAY:-}" ]; then
    exec env KADRIX_STARTUP_BENCH_DISPLAY=1 scripts/xvfb-session -- "$0" "$@"
fi

build=$(realpath "${1:-build}")
runs=${2:-15}
watcher=$build/bench/map_watcher
peer=$build/bench/trivial_window
kadrix=${KADRIX:-$build/app/kadrix}
source bench/need
need "$watcher" "$peer" "$kadrix" trayer python3

work=$(mktemp -d)
trap 'kill $tray 2>/dev/null || true; rm -rf "$work"' EXIT
tray=
# The program in a folder of its own, with its share folder beside it as
# installed (the window's icon is read from there), and a runtime folder of
# its own for its lock file; no session bus, so that Qt speaks XEmbed to
# trayer.
mkdir "$work/bin"
cp "$kadrix" "$work/bin/kadrix"
share=$(dirname "$(realpath "$kadrix")")/../share
[ -d "$share/icons" ] || share=$build/share
ln -s "$(realpath "$share")" "$work/share"
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR=$work/runtime DBUS_SESSION_BUS_ADDRESS=disabled:
cd "$work"

# round MODE RSS_DELAY PROGRAM...: one "ms cpu_ms rss_kb" line.
round() {
    local mode=$1 delay=$2
    shift 2
    "$watcher" "$mode" --rss "$delay" -- "$@" 2>/dev/null | sed -E 's/ms=([0-9.]+) cpu_ms=(-?[0-9.]+) rss_kb=(-?[0-9]+)/\1 \2 \3/'
}

map_rows=()
for _ in $(seq "$runs"); do
    map_rows+=("$(round map 1000 "$peer") $(round map 1000 "$work/bin/kadrix")")
done

trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
tray=$!
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK >/dev/null 2>&1 && break
    sleep 0.05
done
sleep 0.5
tray_rows=()
for _ in $(seq "$runs"); do
    tray_rows+=("$(round exit -1 "$peer" --quit-on-paint) $(round tray -1 "$work/bin/kadrix")")
done

python3 - "$runs" "${map_rows[@]}" -- "${tray_rows[@]}" <<'PY'
import statistics, sys
runs = int(sys.argv[1])
rest = sys.argv[2:]
split = rest.index("--")
maps = [list(map(float, r.split())) for r in rest[:split]]
trays = [list(map(float, r.split())) for r in rest[split + 1:]]
med = lambda rows, i: statistics.median(r[i] for r in rows)
# Each row: peer's figures, then ours.
peer_ms, peer_cpu, ours_ms, ours_cpu = (med(maps, i) for i in (0, 1, 3, 4))
peer_rss, ours_rss = med(maps, 2) / 1024, med(maps, 5) / 1024
peer_quit, peer_quit_cpu, ours_tray, ours_tray_cpu = (med(trays, i) for i in (0, 1, 3, 4))
print(f"Start-up, medians of {runs} rounds")
print(f"{'':30} {'kadrix':>10} {'trivial Qt':>11} {'ratio':>6}")
rows = [("window mapped, ms", ours_ms, peer_ms, 1.5),
        ("resident memory, MB", ours_rss, peer_rss, 1.3),
        ("into the tray, ms", ours_tray, peer_quit, 2.0)]
cpu_rows = [("window mapped, processor ms", ours_cpu, peer_cpu),
            ("into the tray, processor ms", ours_tray_cpu, peer_quit_cpu)]
for name, ours, peer, *_ in rows + cpu_rows:
    print(f"{name:30} {ours:10.1f} {peer:11.1f} {ours / peer:6.2f}")
print()
for name, ours, peer, limit in rows:
    ratio = ours / peer
    print(f"goal {name}: {ratio:.2f} <= {limit}: {'met' if ratio <= limit else 'NOT met'}")
PY
