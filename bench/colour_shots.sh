#!/usr/bin/env bash
# Screenshots of colour-managed pictures, to look at: a Display P3 and an
# Adobe RGB picture of saturated ramps, each shown by the viewer under Xvfb,
# beside the same pixels shown unmanaged (as they looked before profiles
# were honoured) and ImageMagick's own conversion to sRGB.
# Writes $OUT (default /tmp/glimmerdeck-colour)/{p3,adobe-rgb}-side-by-side.png.
# Usage: bench/colour_shots.sh <build folder>
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:?build folder}"
exe="$build/glimmerdeck"
out="${OUT:-/tmp/glimmerdeck-colour}"
mkdir -p "$out"
srgb=/usr/share/color/icc/ghostscript/srgb.icc # for ImageMagick's reference only
convert -size 320x70 gradient:'#ff0000-#ffff00' gradient:'#00ff00-#00ffff' gradient:'#0000ff-#ff00ff' \
  gradient:'#e0a080-#603020' -append -depth 8 -strip PNG24:"$out/ramps.png"
for p in display-p3 adobe-rgb; do
  convert "$out/ramps.png" -profile "$here/tests/data/formats/$p.icc" PNG24:"$out/$p.png"
  if [ -f "$srgb" ]; then convert "$out/$p.png" -profile "$srgb" -strip PNG24:"$out/$p-im.png"; fi
  for pic in "$out/ramps.png" "$out/$p.png"; do
    home="$(mktemp -d)"
    printf '[Window]\nLeft=0\nTop=0\nWidth=320\nHeight=280\n' >"$home/glimmerdeck.ini"
    GLIMMERDECK_HOME="$home" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" \
      bash -c "'$exe' '$pic' & pid=\$!; sleep 4; import -window root '$pic.shot.png'; kill \$pid" || true
    rm -rf "$home"
  done
  # Left to right: unmanaged, the viewer, ImageMagick's sRGB conversion.
  montage -label 'unmanaged' "$out/ramps.png.shot.png" -label 'viewer' "$out/$p.png.shot.png" \
    ${srgb:+-label 'ImageMagick sRGB'} $( [ -f "$out/$p-im.png" ] && echo "$out/$p-im.png") \
    -geometry +4+4 -tile x1 "$out/$p-side-by-side.png"
  echo "$out/$p-side-by-side.png"
done
