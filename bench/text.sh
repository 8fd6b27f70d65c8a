#!/bin/sh
# Throughput and peak memory of texttops against GNU enscript on a 20 MB
# plain-text file. Usage: bench/text.sh [build-dir] [runs]
# Needs enscript and GNU time (apt-get install enscript time).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
texttops=$build/bin/texttops
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 20 MB of ordinary text: lines of varying length, tabs now and then.
. "$here/bench/corpus.sh"
ordinary_text 20480 > "$work/input.txt"
bytes=$(wc -c < "$work/input.txt")

. "$here/bench/median.sh"

r=$(median "$texttops" "$work/input.txt")
set -- $r
tt=$1 tm=$2
r=$(median enscript -q -p - "$work/input.txt")
set -- $r
et=$1 em=$2
# Peak memory must not grow with the input: half the input for comparison.
head -c $((bytes / 2)) "$work/input.txt" > "$work/half.txt"
r=$(median "$texttops" "$work/half.txt")
set -- $r
hm=$2

awk -v b="$bytes" -v tt="$tt" -v et="$et" -v tm="$tm" -v em="$em" -v hm="$hm" 'BEGIN {
  printf "input: %.1f MB\n", b / 1048576;
  printf "texttops: %.3f s (%.0f MB/s), peak %d KiB (half input: %d KiB)\n", tt, b / 1048576 / tt, tm, hm;
  printf "enscript: %.3f s (%.0f MB/s), peak %d KiB\n", et, b / 1048576 / et, em;
  printf "speed-up: %.1fx\n", et / tt;
}'
