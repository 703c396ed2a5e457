#!/usr/bin/env bash
# Makes the fixtures of this folder from nothing but the published colour
# primaries and a drawn pattern, with Debian's tools: python3, ImageMagick,
# heif-enc (libheif-examples), avifenc (libavif-bin), cjxl (libjxl-tools).
# The pattern: 3 × 2 patches of 16 × 16 pixels, every patch a different
# colour, so a turned or mirrored picture is told from an upright one.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")"
python3 make_profiles.py .
# PNGs carry no gamma, chromaticity, time or text chunks: untagged means sRGB.
png=(-define png:exclude-chunks=gAMA,cHRM,bKGD,tIME,tEXt)
convert \( -size 16x16 xc:'rgb(200,100,50)' xc:'rgb(50,200,100)' xc:'rgb(100,50,200)' +append \) \
        \( -size 16x16 xc:'rgb(230,30,30)' xc:'rgb(128,128,128)' xc:'rgb(30,220,40)' +append \) \
        -append +repage -depth 8 -strip "${png[@]}" PNG24:pattern.png
# The same pixels tagged with a profile (assigned, not converted).
convert pattern.png -profile display-p3.icc "${png[@]}" PNG24:p3.png
convert pattern.png -profile display-p3.icc -quality 95 -sampling-factor 1x1 p3.jpg
convert pattern.png -profile adobe-rgb.icc -quality 95 -sampling-factor 1x1 adobe-rgb.jpg
# HEIF, AVIF and JPEG XL: plain, with the P3 profile, turned and animated.
heif-enc -L -p chroma=444 pattern.png -o plain.heic
heif-enc -L -p chroma=444 p3.png -o p3.heic
avifenc -l pattern.png plain.avif >/dev/null
avifenc -l p3.png p3.avif >/dev/null
avifenc -l --irot 1 pattern.png turned.avif >/dev/null # a quarter turn anti-clockwise
avifenc -l --imir 1 pattern.png mirrored.avif >/dev/null # left and right exchanged
convert pattern.png -flop "${png[@]}" PNG24:flopped.png
avifenc -l pattern.png flopped.png animated.avif >/dev/null
rm flopped.png
cjxl -d 0 pattern.png plain.jxl 2>/dev/null
cjxl -d 0 p3.png p3.jxl 2>/dev/null
convert -delay 20 pattern.png \( pattern.png -flop \) -loop 0 animated.gif
cjxl -d 0 animated.gif animated.jxl 2>/dev/null
rm animated.gif
# Camera RAW (DNG): an embedded 96 × 64 preview of the pattern on a 192 × 128
# sensor, turned by orientation 6; a RAW with no preview (developed); and
# two hostile ones whose headers claim a huge sensor image or preview.
convert pattern.png -resize 96x64 -quality 90 -sampling-factor 1x1 preview.jpg
python3 make_dng.py preview.jpg 192 128 6 preview.dng
python3 make_dng.py - 64 48 1 nopreview.dng
python3 make_dng.py - 64 48 1 huge-raw.dng raw=60000x60000
python3 make_dng.py preview.jpg 64 48 1 huge-preview.dng preview=30000x20000
rm preview.jpg
