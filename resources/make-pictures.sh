#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws Kadrix's own pictures (the banner and the 16-colour icon) with
# ImageMagick. The results are kept in the repository; run this only to
# change them.
set -euo pipefail
cd "$(dirname "$0")"
font=DejaVu-Sans-Bold

# Banner: a capture frame with its corner marks over a dark sky, drawn at
# 648 × 136 and scaled to its place in the window, 478 × 85, so that the
# window shows it as it is.
convert -size 648x136 gradient:'#000040-#008080' \
    -stroke white -strokewidth 5 -fill none \
    -draw 'polyline 20,40 20,16 44,16' -draw 'polyline 604,16 628,16 628,40' \
    -draw 'polyline 20,96 20,120 44,120' -draw 'polyline 604,120 628,120 628,96' \
    -stroke none -fill '#800000' -draw 'circle 96,68 96,40' \
    -fill white -draw 'circle 96,68 96,56' \
    -font "$font" -pointsize 64 -fill white -annotate +150+92 'Kadrix' \
    -font DejaVu-Sans -pointsize 20 -fill '#c0c0c0' -annotate +414+92 'снимок · клип · звук' \
    -filter Triangle -resize '478x85!' banner.png
# The window shows it from the screen's own pixel layout (32-bit, blue first),
# which needs no decoding and none of Qt's image plug-ins at start.
convert banner.png -alpha opaque BGRA:banner.bgra

# Icon, 32 × 32, in the 16 standard colours only: a maroon frame with a lens.
standard=(black '#800000' '#008000' '#808000' '#000080' '#800080' '#008080' '#808080'
          '#c0c0c0' '#ff0000' '#00ff00' '#ffff00' '#0000ff' '#ff00ff' '#00ffff' white)
palette=$(mktemp --suffix=.png)
trap 'rm -f "$palette"' EXIT
convert "${standard[@]/#/xc:}" +append "$palette"
convert -size 32x32 xc:'#000080' +antialias \
    -fill '#800000' -stroke '#c0c0c0' -strokewidth 2 -draw 'rectangle 3,7 28,26' \
    -stroke none -fill '#ffffff' -draw 'circle 16,17 16,9' \
    -fill '#000000' -draw 'circle 16,17 16,12' \
    -fill '#ff0000' -draw 'rectangle 22,3 27,6' \
    +dither -remap "$palette" PNG8:kadrix.png
