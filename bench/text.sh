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
awk 'BEGIN {
  srand(7);
  words = "the quick brown fox jumps over a lazy dog while printers hum (and) " \
          "spoolers queue\tjobs for everyone in the office";
  n = split(words, w, " ");
  size = 0;
  while (size < 20 * 1024 * 1024) {
    line = "";
    len = int(rand() * 14);
    for (i = 0; i < len; i++) line = line w[int(rand() * n) + 1] " ";
    print line;
    size += length(line) + 1;
  }
}' > "$work/input.txt"
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
