#!/bin/sh
# Remakes the test dumps. Needs netpbm, and xvfb and x11-apps for the
# dumps of a real X server (the tests themselves need neither).
set -e
cd "$(dirname "$0")"
pbmtext -builtin fixed "The quick brown fox jumps over the lazy dog 0123456789" > text.pbm
pnmtoxwd < text.pbm > text.xwd                  # 1-bit StaticGray, MSBFirst
ppmpat -gingham2 -color=rgb:ff/00/00,rgb:00/80/ff 40 30 > pattern.ppm
pnmtoxwd < pattern.ppm > pattern.xwd            # 8-bit PseudoColor, 3 colours
pgmramp -lr 50 10 > ramp.pgm
pnmtoxwd < ramp.pgm > ramp.xwd                  # 8-bit StaticGray with a ramp
# The same scene on servers of depth 24, 30, 16 and 8 (LSBFirst, 32-bit units),
# the default visual of depth 8 PseudoColor, then TrueColor (3-3-2 bits a
# channel) and DirectColor.
dump() {  # depth, file, more server options
  Xvfb :79 -screen 0 64x48x$1 $3 -nolisten tcp & server=$!
  sleep 2
  DISPLAY=:79 xlogo -bg red -fg blue -geometry 30x28+2+2 & a=$!
  DISPLAY=:79 xlogo -bg '#00ff00' -fg '#808080' -geometry 24x20+36+20 & b=$!
  sleep 2
  DISPLAY=:79 xwd -root -silent > $2
  kill $a $b $server
  wait $server || true
}
dump 24 xvfb24.xwd
dump 30 xvfb30.xwd                              # 10 bits a channel
dump 16 xvfb16.xwd
dump 8 xvfb8.xwd
dump 8 xvfb8true.xwd "-cc 4"
dump 8 xvfb8direct.xwd "-cc 5"
xwdtopnm xvfb8true.xwd > xvfb8true.ppm          # its colours: gray is 3-3-2
xwdtopnm xvfb24.xwd > xvfb.ppm                  # the scene's colours
