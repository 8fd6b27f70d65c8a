#!/bin/sh
# Speed and peak memory of imgtops on two images:
# - a 600-dpi A4 text page as a 1-bit dump, imgtog4 against libtiff's
#   tiffcp -c g4 on the same bitmap as an uncompressed TIFF;
# - a 4000 x 3000 24-bit TrueColor dump, imgtops against netpbm's
#   xwdtopnm | pnmtops.
# Usage: bench/image.sh [build-dir] [runs]
# Needs ghostscript, netpbm, libtiff-tools, python3 and GNU time.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
bin=$build/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

. "$here/bench/median.sh"

# A page of text at 600 dpi.
awk 'BEGIN {
  print "%!PS";
  print "/Courier findfont 10 scalefont setfont";
  srand(3);
  words = "the quick brown fox jumps over a lazy dog while printers hum";
  n = split(words, w, " ");
  for (y = 800; y > 40; y -= 12) {
    line = "";
    while (length(line) < 85) line = line w[int(rand() * n) + 1] " ";
    printf "40 %d moveto (%s) show\n", y, line;
  }
  print "showpage";
}' > "$work/page.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pbmraw -r600 -sPAPERSIZE=a4 \
   -sOutputFile="$work/page.pbm" "$work/page.ps"
pnmtoxwd < "$work/page.pbm" > "$work/page.xwd"
pnmtotiff -none < "$work/page.pbm" > "$work/page.tif" 2>/dev/null

# A colour photograph-like 4000 x 3000 image as a 24-bit TrueColor dump
# (the layout of an x86 X server: LSBFirst, 32 bits a pixel).
python3 - "$work/photo.xwd" <<'PY'
import struct, sys
w, h = 4000, 3000
row = bytearray(4 * w)
with open(sys.argv[1], "wb") as f:
    f.write(struct.pack(">25I", 100, 7, 2, 24, w, h, 0, 0, 32, 0, 32, 32,
                        4 * w, 4, 0xFF0000, 0xFF00, 0xFF, 8, 0, 0, w, h, 0, 0, 0))
    for y in range(h):
        row[0::4] = bytes((x * 7 + y) & 255 for x in range(w))       # blue
        row[1::4] = bytes((x + y * 3) & 255 for x in range(w))       # green
        row[2::4] = bytes(((x ^ y) >> 3) & 255 for x in range(w))    # red
        f.write(row)
PY

r=$(median "$bin/imgtog4" "$work/page.xwd")
set -- $r
gt=$1 gm=$2
r=$(median tiffcp -c g4 "$work/page.tif" "$work/page-g4.tif")
set -- $r
lt=$1 lm=$2
r=$(median "$bin/imgtops" "$work/photo.xwd")
set -- $r
it=$1 im=$2
r=$(median sh -c "xwdtopnm '$work/photo.xwd' 2>/dev/null | pnmtops -nocenter 2>/dev/null")
set -- $r
nt=$1

awk -v gt="$gt" -v gm="$gm" -v lt="$lt" -v lm="$lm" -v it="$it" -v im="$im" \
    -v nt="$nt" 'BEGIN {
  printf "text page 4960 x 7016, 1 bit:\n";
  printf "  imgtog4: %.3f s, peak %d KiB\n", gt, gm;
  printf "  tiffcp -c g4: %.3f s, peak %d KiB\n", lt, lm;
  printf "  ratio: %.2f of libtiff'"'"'s time\n", gt / lt;
  printf "photo 4000 x 3000, 24 bits:\n";
  printf "  imgtops: %.3f s, peak %d KiB\n", it, im;
  printf "  xwdtopnm | pnmtops: %.3f s\n", nt;
  printf "  speed-up: %.1fx\n", nt / it;
}'
