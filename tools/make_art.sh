#!/bin/bash
# Draws the installer's pictures into ui/art/ (or into the folder given as the first argument).
# The outputs are committed, so a build needs no image tools; run this only to change the artwork.
# Needs ImageMagick's convert and the font of fonts-wqy-microhei. The same tools give the same bytes.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/ui/art}

font=$(fc-list -f '%{file}\n' ':family=WenQuanYi Micro Hei:style=Regular' | sort | head -n 1)
if [ -z "$font" ] || [ ! -r "$font" ]; then
  echo "make_art: the WenQuanYi Micro Hei font is missing (Debian package fonts-wqy-microhei)" >&2
  exit 1
fi
command -v convert >/dev/null || { echo "make_art: ImageMagick's convert is missing" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out"
# One thread, so that no operation can depend on how work is split.
export MAGICK_THREAD_LIMIT=1

# The window decodes baseline, 8-bit, three-component JPEG only; full-resolution chroma keeps the
# edges of the white type clean.
jpeg() { # SOURCE NAME
  convert "$1" -strip -interlace none -colorspace sRGB -type TrueColor \
    -sampling-factor 1x1 -quality 92 "$out/$2"
}

# Colours shared with the window.
page_blue='#1683C4'
light_blue='#75B8EE'
teal='#1E9C9E'
steel_blue='#5E86A6'

# A 220 x 80 button: a flat panel inside a 5-pixel light-blue margin, two characters in large white
# type, each centred on its half of the panel so that they stand well apart.
button() { # PANEL TEXT1 TEXT2 NAME
  convert -size 220x80 "xc:$light_blue" -fill "$1" -draw 'rectangle 5,5 214,74' \
    -font "$font" -pointsize 42 -fill white -stroke white -strokewidth 0.8 -gravity center \
    -annotate -40+0 "$2" -annotate +40+0 "$3" "$work/button.png"
  jpeg "$work/button.png" "$4"
}

button "$teal" 安 装 install-button.jpg
button "$steel_blue" 安 装 install-button-hot.jpg
button "$teal" 完 成 completion.jpg

# Flame logo, 424 x 534: a white flame with a blue inner tongue and a white core, on a ground that
# fades from a touch lighter in the middle to page blue at the edges. The window squeezes it into a
# square, so the flame is drawn tall.
convert -size 424x534 "radial-gradient:#2591D2-$page_blue" \
  -fill white -draw "path 'M 212,472 C 138,472 86,418 86,345 C 86,270 140,222 168,150
      C 178,190 192,212 210,224 C 214,160 248,110 292,72 C 282,130 300,170 322,215
      C 342,255 340,300 340,345 C 340,418 286,472 212,472 Z'" \
  -fill "$page_blue" -draw "path 'M 212,440 C 168,440 140,410 140,370 C 140,330 170,305 190,270
      C 196,300 210,312 226,318 C 232,290 246,270 262,258 C 270,290 284,320 284,370
      C 284,410 256,440 212,440 Z'" \
  -fill white -draw "path 'M 212,425 C 186,425 172,405 172,385 C 172,360 195,345 212,320
      C 229,345 252,360 252,385 C 252,405 238,425 212,425 Z'" \
  "$work/flame.png"
jpeg "$work/flame.png" flame-logo.jpg

# Letter logo, 250 x 256: a large slanted white K and its mirror image below it, fading out.
convert -size 250x170 xc:none -font "$font" -pointsize 190 -fill white -stroke white \
  -strokewidth 6 -gravity south -annotate +0-28 K -trim +repage \
  -background none -shear 12x0 -trim +repage "PNG32:$work/letter.png"
size=$(identify -format '%wx%h' "$work/letter.png")
convert "$work/letter.png" -flip -alpha set \
  \( +clone -alpha extract \( -size "$size" 'gradient:gray(45%)-black' \) -compose multiply -composite \) \
  -alpha off -compose copy_opacity -composite "PNG32:$work/reflection.png"
convert -size 250x256 "xc:$light_blue" -gravity north \
  "$work/letter.png" -geometry +0+20 -compose over -composite \
  "$work/reflection.png" -geometry +0+166 -compose over -composite "$work/letter-logo.png"
jpeg "$work/letter-logo.png" letter-logo.jpg

# Close buttons, 27 x 22: a white cross on blue, orange-red (hot) and dark red (pressed).
close_button() { # GROUND NAME
  convert -size 27x22 "xc:$1" -stroke white -strokewidth 2 -fill none \
    -draw 'line 9.5,7 17.5,15' -draw 'line 17.5,7 9.5,15' "$work/close.png"
  jpeg "$work/close.png" "$2"
}
close_button '#2A7FC0' close-button.jpg
close_button '#EE5A24' close-button-hot.jpg
close_button '#9E1B1B' close-button-pressed.jpg

# Badge, one 48 x 48 icon image: a red character, slanted as if brushed, on a yellow tile in a red
# frame; the corners outside the rounded tile are transparent.
convert -size 48x48 xc:none -fill '#FFD21F' -stroke '#C8161D' -strokewidth 3 \
  -draw 'roundrectangle 2,2 45,45 6,6' \
  -font "$font" -pointsize 32 -fill '#C8161D' -stroke '#C8161D' -strokewidth 1.6 -gravity center \
  -draw 'rotate -8 text 0,0 "福"' "PNG32:$work/badge.png"
convert "$work/badge.png" "$out/badge.ico"

# Application icon: a pale grey tile with a sketched document, a blue ribbon across the document's
# top-left corner and the word "setup". From 48 pixels up it is drawn on a 128-unit grid at four
# times 128 pixels and scaled down; 32, 24 and 16 are drawn on their own pixel grid, the two
# smallest without the word, which cannot be read at that size.
ink='#4A5058'; lines='#7A8088'; ribbon='#2F7FD8'; ribbon_edge='#1B5EAE'; word='#1F64C4'
frame='#9AA0A8'; paper_fold='#E2E5EA'
tile() { # SIZE RADIUS -> $work/tile-mask.png, $work/tile.png
  local n=$1 r=$2 e=$(($1 - 1))
  convert -size "${n}x${n}" xc:black -fill white -draw "roundrectangle -0.5,-0.5 $e.5,$e.5 $r,$r" \
    "$work/tile-mask.png"
  convert -size "${n}x${n}" 'gradient:#F6F7F9-#D5D9DE' \( "$work/tile-mask.png" -alpha copy \) \
    -compose dst-in -composite "PNG32:$work/tile.png"
}
ribbon_layer() { # SIZE MVG -> $work/ribbon.png, clipped to the tile
  convert -size "${1}x${1}" xc:none -fill "$ribbon" -stroke "$ribbon_edge" -strokewidth 1 -draw "$2" \
    \( "$work/tile-mask.png" -alpha copy \) -compose dst-in -composite "PNG32:$work/ribbon.png"
}

big=512 g="scale 4,4"
tile $big 64
ribbon_layer $big "$g polygon -10,54 54,-10 78,-10 -10,78"
convert "$work/tile.png" \
  -fill white -stroke "$ink" -strokewidth 2.2 -draw "$g polygon 36,16 78,16 92,30 92,82 36,82" \
  -fill "$paper_fold" -draw "$g polygon 78,16 78,30 92,30" \
  -fill none -stroke "$ink" -strokewidth 1 \
  -draw "$g stroke-opacity 0.45 polyline 37.5,14.8 79,15 93.2,29 93,83.2 35,83 35.2,15.5" \
  -stroke "$lines" -strokewidth 2.6 \
  -draw "$g line 44,40 84,40 line 44,48 80,48 line 44,56 84,56 line 44,64 76,64 line 44,72 68,72" \
  "$work/ribbon.png" -compose over -composite \
  -fill none -stroke "$frame" -strokewidth 8 -draw 'roundrectangle 4,4 507,507 60,60' \
  "PNG32:$work/app-plain.png"
convert "$work/app-plain.png" \
  -font "$font" -pointsize 124 -fill "$word" -stroke "$word" -strokewidth 5 -gravity south \
  -annotate +0+30 setup "PNG32:$work/app-big.png"
for n in 128 96 72 64 48; do
  convert "$work/app-big.png" -filter Lanczos -resize "${n}x${n}" "PNG32:$work/app-$n.png"
done

small_icon() { # SIZE RADIUS RIBBON DOCUMENT FOLD LINES
  local e=$(($1 - 1))
  tile "$1" "$2"
  ribbon_layer "$1" "$3"
  convert "$work/tile.png" -fill white -stroke "$ink" -strokewidth 1 -draw "$4" \
    -fill "$paper_fold" -draw "$5" -stroke "$lines" -draw "$6" \
    "$work/ribbon.png" -compose over -composite \
    -fill none -stroke "$frame" -strokewidth 1 -draw "roundrectangle 0,0 $e,$e $(($2 - 1)).5,$(($2 - 1)).5" \
    "PNG32:$work/app-$1.png"
}
# ImageMagick puts pixel centres on whole coordinates: one-pixel lines drawn there stay sharp.
small_icon 32 5 'polygon -2,12 12,-2 17,-2 -2,17' \
  'polygon 10,2 19,2 22,5 22,18 10,18' 'polygon 19,2 19,5 22,5' \
  'line 13,8 19,8 line 13,10 18,10 line 13,12 19,12 line 13,14 17,14'
# At 32 pixels the word is set at its own size, which the font's hinting keeps sharper than a
# scaled-down copy.
convert "$work/app-32.png" -font "$font" -pointsize 10 -fill "$word" -gravity south \
  -annotate +0+2 setup "PNG32:$work/app-32.png"
small_icon 24 4 'polygon -2,10 10,-2 14,-2 -2,14' \
  'polygon 6,3 14,3 17,6 17,19 6,19' 'polygon 14,3 14,6 17,6' \
  'line 9,9 14,9 line 9,11 13,11 line 9,13 14,13 line 9,15 12,15'
small_icon 16 3 'polygon -2,7 7,-2 10,-2 -2,10' \
  'polygon 4,2 9,2 11,4 11,13 4,13' 'polygon 9,2 9,4 11,4' \
  'line 6,6 9,6 line 6,8 9,8 line 6,10 8,10'

convert "$work"/app-{128,96,72,64,48,32,24,16}.png "$out/application.ico"
