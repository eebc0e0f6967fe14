#!/usr/bin/env bash
# Draws the program's icon, assets/TikoClock.ico, with ImageMagick: a clock
# face (white dial, blue rim, twelve ticks, hands at ten past ten) on a
# transparent background, in the sizes Windows asks for: 16, 20, 24, 32, 40,
# 48, 64 and 256 pixels. Each size is drawn large and scaled down, so the
# small ones stay smooth.
#
# Usage: scripts/make-icon.sh [output file]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/../assets/TikoClock.ico}"
mkdir -p "$(dirname "$out")"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

Canvas=512
Centre=256
Rim='#0088ff' # the settings window's frame blue
Dial='#ffffff'
Ink='#26323c'

# Points on the dial: angle in degrees clockwise from twelve o'clock.
point() { awk -v a="$1" -v r="$2" -v c="$Centre" 'BEGIN {
    pi = atan2(0, -1); t = a * pi / 180
    printf "%.1f,%.1f", c + r * sin(t), c - r * cos(t) }'; }

ticks=()
for hour in $(seq 0 11); do
    angle=$((hour * 30))
    if [ $((hour % 3)) -eq 0 ]; then inner=168; width=22; else inner=186; width=12; fi
    ticks+=(-stroke "$Ink" -strokewidth "$width" -draw "line $(point $angle $inner) $(point $angle 206)")
done

convert -size ${Canvas}x${Canvas} xc:none \
    -fill "$Rim" -stroke none -draw "circle $Centre,$Centre $Centre,8" \
    -fill "$Dial" -draw "circle $Centre,$Centre $Centre,44" \
    "${ticks[@]}" \
    -stroke "$Ink" -strokewidth 30 -draw "line $Centre,$Centre $(point 305 118)" \
    -stroke "$Ink" -strokewidth 20 -draw "line $Centre,$Centre $(point 60 170)" \
    -stroke none -fill "$Rim" -draw "circle $Centre,$Centre $Centre,$((Centre - 22))" \
    "$work/master.png"

frames=()
for size in 16 20 24 32 40 48 64 256; do
    convert "$work/master.png" -filter Lanczos -resize ${size}x${size} -depth 8 -strip \
        -define png:exclude-chunks=date,time "$work/icon-$size.png"
    frames+=("$work/icon-$size.png")
done
convert "${frames[@]}" "$out"
echo "Wrote $out"
