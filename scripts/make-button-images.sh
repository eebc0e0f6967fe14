#!/usr/bin/env bash
# Draws the hover-button images into assets/ with ImageMagick: white glyphs
# with a soft grey shadow on a transparent background, three states per
# button. Hover is the brightest and boldest, normal a half-transparent
# white, pressed the faintest.
#
# Each image is drawn for three display scales from the same outlines, so
# that a scaled display gets a sharp one rather than an enlargement:
#   NAME-STATE.png       1x   (96 DPI), the sizes below
#   NAME-STATE-150.png   1.5x (144 DPI), each side 1.5 times, rounded up
#   NAME-STATE-200.png   2x   (192 DPI), each side twice
#
#   close            16 x 16  cross                         8-bit RGBA
#   settings         20 x 20  gear wheel                    8-bit RGBA
#   keep-on-top      20 x 20  window frame, upward arrow    8-bit RGBA
#   smaller-font     25 x 23  letter A with a minus sign    8-bit palette + tRNS
#   larger-font      25 x 23  letter A with a plus sign     8-bit palette + tRNS
#
# Usage: scripts/make-button-images.sh [output directory]
# The output is byte-for-byte reproducible (no time or text chunks).
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
out="${1:-$here/../assets}"
mkdir -p "$out"

# Glyphs are drawn at Scale times the final size (coordinates below are in
# final pixels) and scaled down, which gives smooth edges at this size.
Scale=8
ShadowColour='#4c4c54' # a cool grey: a purely grey image would be written as grey+alpha, not indexed
ShadowBlur=0.8         # sigma in final pixels
ShadowOffset=1         # down and right, in final pixels
ShadowOpacity=0.85

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# State: name, glyph opacity, stroke factor against the normal stroke.
States=("normal 0.55 1.0" "hover 1.0 1.35" "pressed 0.3 0.85")

calc() { awk "BEGIN { printf \"%.3f\", $1 }"; }

# The gear's outline: eight teeth between radius 6 and 8 around (10, 10).
GearPolygon="$(awk 'BEGIN {
    pi = atan2(0, -1); cx = 10; cy = 10; root = 6; tip = 8
    for (k = 0; k < 8; k++) {
        base = k * 45
        n = split((base - 14) " " (base - 8) " " (base + 8) " " (base + 14), a, " ")
        split(root " " tip " " tip " " root, r, " ")
        for (i = 1; i <= n; i++)
            printf "%.3f,%.3f ", cx + r[i] * cos(a[i] * pi / 180), cy + r[i] * sin(a[i] * pi / 180)
    }
}')"

# Draw primitives of one glyph in final-pixel coordinates, for a stroke width.
GlyphDraw() {
    local button="$1" stroke="$2"
    case "$button" in
    close)
        echo "stroke-width $stroke line 4,4 12,12 line 12,4 4,12"
        ;;
    settings)
        echo "stroke-width $(calc "$stroke * 0.55") fill white polygon $GearPolygon"
        ;;
    keep-on-top)
        # Frame with a heavier title bar; the arrow rises out of it.
        echo "stroke-width $stroke rectangle 3.5,9 16.5,17.5" \
            "stroke-width $(calc "$stroke * 1.4") line 3.5,9 16.5,9" \
            "stroke-width $stroke line 10,13.5 10,2.5 polyline 6.5,6 10,2.5 13.5,6"
        ;;
    smaller-font)
        echo "stroke-width $stroke polyline 3,19.5 8.5,4 14,19.5 line 5.3,13.5 11.7,13.5" \
            "line 16,8 23,8"
        ;;
    larger-font)
        echo "stroke-width $stroke polyline 3,19.5 8.5,4 14,19.5 line 5.3,13.5 11.7,13.5" \
            "line 16,8 23,8 line 19.5,4.5 19.5,11.5"
        ;;
    esac
}

# Display scales in percent, and the file-name suffix of each.
Scales=("100 " "150 -150" "200 -200")

# Render BUTTON WIDTH HEIGHT NORMALSTROKE FORMAT (PNG32 or INDEXED) at every
# display scale.
Render() {
    local entry percent suffix
    for entry in "${Scales[@]}"; do
        read -r percent suffix <<<"$entry"
        RenderAt "$percent" "$suffix" "$@"
    done
}

# RenderAt PERCENT SUFFIX BUTTON WIDTH HEIGHT NORMALSTROKE FORMAT: the glyph
# coordinates stay in 1x pixels and the drawing is scaled by PERCENT.
RenderAt() {
    local percent="$1" suffix="$2" button="$3" normalWidth="$4" normalHeight="$5" normalStroke="$6" format="$7"
    local width=$(((normalWidth * percent + 99) / 100)) height=$(((normalHeight * percent + 99) / 100))
    local bigWidth=$((width * Scale)) bigHeight=$((height * Scale))
    local blur offset drawScale
    blur="$(calc "$ShadowBlur * $Scale * $percent / 100")"
    offset=$((ShadowOffset * Scale * percent / 100))
    if ((percent == 100)); then
        drawScale="$Scale"
    else
        drawScale="$(calc "$Scale * $percent / 100")"
    fi
    for state in "${States[@]}"; do
        read -r name opacity factor <<<"$state"
        local stroke glyph="$work/$button-$name-glyph.png" file="$out/$button-$name$suffix.png"
        stroke="$(calc "$normalStroke * $factor")"
        convert -size "${bigWidth}x${bigHeight}" xc:none \
            -draw "scale $drawScale,$drawScale stroke white fill none stroke-linecap round stroke-linejoin round $(GlyphDraw "$button" "$stroke")" \
            "PNG32:$glyph"
        if [[ $button == settings ]]; then
            # The axle hole goes through the gear.
            convert "$glyph" \( -size "${bigWidth}x${bigHeight}" xc:none -fill white \
                -draw "scale $drawScale,$drawScale circle 10,10 12.6,10" \) \
                -compose DstOut -composite "PNG32:$glyph"
        fi
        local encode=(-strip -define png:exclude-chunks=date,time,tEXt,zTXt,iTXt)
        if [[ $format == PNG32 ]]; then
            encode+=("PNG32:$file")
        else
            encode+=(-colors 255 -type PaletteAlpha "PNG:$file")
        fi
        convert "$glyph" \
            \( +clone -fill "$ShadowColour" -colorize 100 \
            -channel A -evaluate multiply "$ShadowOpacity" -blur "0x$blur" +channel \
            -roll "+$offset+$offset" \) \
            +swap -compose Over -composite \
            -channel A -evaluate multiply "$opacity" +channel \
            -filter Box -resize "${width}x${height}!" \
            "${encode[@]}"
    done
}

Render close 16 16 1.7 PNG32
Render settings 20 20 1.6 PNG32
Render keep-on-top 20 20 1.5 PNG32
Render smaller-font 25 23 1.8 INDEXED
Render larger-font 25 23 1.8 INDEXED
