#!/bin/sh
# CPU time and peak memory of imgtops on the image formats people send:
# - a 4000 x 3000 photo as JPEG and as PNG, against netpbm's
#   jpegtopnm | pnmtops and pngtopnm | pnmtops and ImageMagick's convert (eps2:);
# - a 600-dpi A4 one-bit page as a Group 4 TIFF, imgtog4 against
#   tifftopnm | pnmtops and convert;
# - peak memory of 100-megapixel PNG, JPEG and TIFF images (10000 x 10000).
# Usage: bench/formats.sh [build-dir] [runs]
# Needs ghostscript, netpbm, libtiff-tools, imagemagick and GNU time.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
convert=/usr/bin/convert
# Debian's ImageMagick policy forbids writing PostScript under the ps:
# names; its Level 2 writer still runs under the eps2: name.

. "$here/bench/median.sh"

# The photo: smooth gradients with noise, as a camera gives.
pgmramp -lr 4000 3000 > "$work/r.pgm"
pgmnoise 4000 3000 > "$work/n.pgm" 2>/dev/null
rgb3toppm "$work/r.pgm" "$work/n.pgm" "$work/r.pgm" > "$work/photo.ppm"
pnmtojpeg -quality=90 "$work/photo.ppm" > "$work/photo.jpg"
pnmtopng "$work/photo.ppm" > "$work/photo.png" 2>/dev/null
# The page: text at 600 dpi.
printf '%%!PS\n/Courier findfont 10 scalefont setfont\n' > "$work/page.ps"
awk 'BEGIN { for (y = 800; y > 40; y -= 12) printf "40 %%d moveto (the quick brown fox jumps over the lazy dog while printers hum along) show\n", y }' >> "$work/page.ps"
echo showpage >> "$work/page.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=tiffg4 -r600 -sPAPERSIZE=a4 \
   -sOutputFile="$work/page.tif" "$work/page.ps"

# The least CPU seconds (user and system, of every process of a pipeline)
# over the runs, and the peak KiB of that run: on a shared machine other
# jobs only ever add to CPU time, as they add to wall time.
cpu() {
  best=""
  for i in $(seq "$runs"); do
    if ! /usr/bin/time -f "%U %S %M" -o "$work/t" "$@" > /dev/null 2> "$work/err"; then
      echo "benchmark run failed: $*" >&2
      cat "$work/err" >&2
      return 1
    fi
    best=$(awk -v b="$best" '{ c = $1 + $2; split(b, f, " ")
      if (b == "" || c < f[1]) print c, $3; else print b }' "$work/t")
  done
  echo "$best"
}

row() {  # label zavps-command peer-commands...
  label=$1; ours=$2; shift 2
  r=$(cpu sh -c "$ours")
  t=${r%% *} m=${r##* }
  best=""
  for peer in "$@"; do
    r=$(cpu sh -c "$peer 2>/dev/null")
    printf '  %-44s %.3f s\n' "$peer" "${r%% *}" | sed "s#$work/##g"
    best=$(awk -v a="$best" -v b="${r%% *}" 'BEGIN { print (a == "" || b < a) ? b : a }')
  done
  printf '%s: zavps %.3f s, peak %d KiB; %.2f of the fastest other\n' "$label" "$t" "$m" \
    "$(awk -v t="$t" -v b="$best" 'BEGIN { print t / b }')"
}
row "JPEG 4000 x 3000" "$bin/imgtops $work/photo.jpg" \
  "jpegtopnm $work/photo.jpg | pnmtops -nocenter" "$convert $work/photo.jpg eps2:-"
row "PNG 4000 x 3000" "$bin/imgtops $work/photo.png" \
  "pngtopnm $work/photo.png | pnmtops -nocenter" "$convert $work/photo.png eps2:-"
row "TIFF G4 4960 x 7016" "$bin/imgtog4 $work/page.tif" \
  "tifftopnm $work/page.tif | pnmtops -nocenter" "$convert $work/page.tif eps2:-"

# Peak memory of 100-megapixel images.
pgmramp -lr 10000 10000 > "$work/big.pgm"
pnmtopng "$work/big.pgm" > "$work/big.png" 2>/dev/null
pnmtojpeg "$work/big.pgm" > "$work/big.jpg"
pnmtotiff -lzw "$work/big.pgm" > "$work/big.tif" 2>/dev/null
for f in big.png big.jpg big.tif; do
  runs=1
  set -- $(median "$bin/imgtops" "$work/$f")
  printf '%s 10000 x 10000: %.2f s, peak %d KiB\n' "$f" "$1" "$2"
done
