#!/bin/sh
# Throughput and peak memory of texttops on a 20 MB UTF-8 Japanese text
# (kanji, kana, half-width kana, ASCII), in the stream and the line-count
# layout, and with the input in EUC-JP for comparison.
# Usage: bench/japanese.sh [build-dir] [runs]
# Needs GNU time and iconv (apt-get install time libc-bin).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
texttops=$build/bin/texttops
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 20 MB of memo-like lines: words of kanji and kana, now and then ASCII,
# half-width kana and a tab.
. "$here/bench/corpus.sh"
japanese_text $((20 * 1024)) > "$work/input.txt"
bytes=$(wc -c < "$work/input.txt")
iconv -f UTF-8 -t EUC-JP "$work/input.txt" > "$work/euc.txt"
head -c $((bytes / 2)) "$work/input.txt" > "$work/half.txt"

. "$here/bench/median.sh"

report() {  # label, bytes, "seconds KiB"
  set -- "$1" "$2" $3
  awk -v l="$1" -v b="$2" -v t="$3" -v m="$4" 'BEGIN {
    printf "%-28s %.3f s  %4.0f MB/s  peak %d KiB\n", l, t, b / 1048576 / t, m
  }'
}

echo "input: $((bytes / 1048576)) MB of UTF-8 Japanese text"
r=$(median "$texttops" "$work/input.txt")
report "UTF-8, stream layout" "$bytes" "$r"
r=$(median "$texttops" -l66 "$work/input.txt")
report "UTF-8, line-count layout" "$bytes" "$r"
r=$(median "$texttops" -Ke=utf-8 "$work/input.txt")
report "UTF-8 named, stream layout" "$bytes" "$r"
r=$(median "$texttops" "$work/euc.txt")
report "EUC-JP, stream layout" "$(wc -c < "$work/euc.txt")" "$r"
# Peak memory must not grow with the input.
r=$(median "$texttops" "$work/half.txt")
report "UTF-8, half the input" "$((bytes / 2))" "$r"
