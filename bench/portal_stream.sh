#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The portal's screen stream (GNOME, KDE) while nothing changes on the screen:
# the processor time of Kadrix's receiving thread as a share of one core, on
# a private portal (scripts/portal-session) with a 1920 x 1080 source of the
# benchmark's own, once sending nothing (as a desktop that tracks changes
# does) and once sending the unchanged picture 30 times a second; the
# sender's thread, which writes each picture, is measured beside it.
# Goal: the receiver under 2 % of one core.
#   bench/portal_stream.sh [BUILD_DIR] [SECONDS]     (default build, 10)
set -euo pipefail
cd "$(dirname "$0")/.."

bench=$(realpath "${1:-build}")/bench/portal_stream_bench
seconds=${2:-10}
source bench/need
need "$bench" pipewire wireplumber dbus-run-session
exec scripts/portal-session -- "$bench" "$seconds"
