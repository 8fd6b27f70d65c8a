#!/bin/sh
# Printer-side cost of text documents: Ghostscript, as the printer's
# interpreter, runs texttops documents in both layouts (the stream layout,
# which is the default, and -l66 line counting) and enscript's document of
# the same text, and the cost per page and per thousand lines of text is
# set side by side. The stream layout with every line handed to the
# character-by-character MS is measured too, for comparison.
# Cost is Ghostscript's CPU time (user + system), the least of the runs:
# on a shared machine other jobs only ever add to it. With
# PRINTER_COST=instructions it is the instructions Ghostscript executes,
# counted once under valgrind: slow, but the same on every run, so small
# differences show through a busy machine. Each document kind has a
# fixed cost (start-up, fonts, prolog), taken from a one-line document of
# the same kind and taken off; pages are counted from the rendered files.
# Usage: bench/printer.sh [build-dir] [runs] [resolution] [KB of text]
# Needs enscript, ghostscript and python3 (and valgrind for instructions).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
res=${3:-300}
kb=${4:-400}
cost=${PRINTER_COST:-cpu}
texttops=$build/bin/texttops
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Ordinary text: lines of varying length, tabs now and then.
. "$here/bench/corpus.sh"
ordinary_text "$kb" > "$work/full.txt"
echo "the quick brown fox" > "$work/one.txt"
lines=$(wc -l < "$work/full.txt")

for size in full one; do
  TEXTTOPSOPTION= "$texttops" "$work/$size.txt" > "$work/stream-$size.ps"
  TEXTTOPSOPTION= "$texttops" -l66 "$work/$size.txt" > "$work/lines-$size.ps"
  enscript -q -p "$work/enscript-$size.ps" "$work/$size.txt"
  sed 's/ [FL]S$/ MS/' "$work/stream-$size.ps" > "$work/bychar-$size.ps"
done

# A one-bit page at the printer's resolution, as a laser printer makes it.
set -- gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pbmraw -r"$res" \
       -sOutputFile=/dev/null
gs="$*"

# Cost of Ghostscript on a document: CPU milliseconds, the least of the
# runs, or millions of instructions.
measure() {
  if [ "$cost" = instructions ]; then
    valgrind --tool=callgrind --callgrind-out-file=/dev/null $gs "$1" 2>&1 |
      sed -n 's/.*Collected : \([0-9]*\).*/\1/p' | awk '{ printf "%.3f\n", $1 / 1e6 }'
    return
  fi
  for i in $(seq "$runs"); do
    python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
               stderr=subprocess.DEVNULL)
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.3f" % (1000 * (r.ru_utime + r.ru_stime)))' $gs "$1"
  done | sort -n | head -1
}

# Pages of a document, rendered coarsely into files.
pages() {
  mkdir "$work/pages"
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pbmraw -r10 \
     -sOutputFile="$work/pages/%d" "$1" > /dev/null 2>&1
  ls "$work/pages" | wc -l
  rm -rf "$work/pages"
}

# Pages, fixed cost, cost a page and cost a thousand lines of one kind.
report() {
  n=$(pages "$work/$1-full.ps")
  set -- "$(measure "$work/$1-full.ps")" "$(measure "$work/$1-one.ps")"
  awk -v n="$n" -v t="$1" -v t1="$2" -v lines="$lines" 'BEGIN {
    printf "%d %.1f %.4f %.3f\n", n, t1, (n > 1 ? (t - t1) / (n - 1) : 0),
      1000 * (t - t1) / lines }'
}

{
  echo "$(report stream) texttops (stream layout)"
  echo "$(report lines) texttops -l66 (line count)"
  echo "$(report enscript) enscript -q"
  echo "$(report bychar) stream, all by character"
} > "$work/report"

unit=ms; [ "$cost" = instructions ] && unit=Minstr
awk -v res="$res" -v kb="$kb" -v lines="$lines" -v cost="$cost" -v unit="$unit" '{
  pages[NR] = $1; fixed[NR] = $2; page[NR] = $3; kline[NR] = $4
  $1 = $2 = $3 = $4 = ""; sub(/^ +/, ""); name[NR] = $0
} END {
  printf "%d KB of text (%d lines), gs -r%s, %s in %s, fixed cost taken off\n",
    kb, lines, res, (cost == "cpu" ? "CPU time, least of the runs" : "instructions"), unit;
  printf "%-32s %6s %9s %9s %11s\n", "document", "pages", "fixed", "a page", "1000 lines";
  for (i = 1; i <= NR; i++)
    printf "%-32s %6d %9.1f %9.3f %11.2f\n", name[i], pages[i], fixed[i], page[i], kline[i];
  if (page[3] > 0)
    printf "against enscript: a page: stream %.2f, line count %.2f; " \
           "1000 lines: stream %.2f, line count %.2f\n",
      page[1] / page[3], page[2] / page[3], kline[1] / kline[3], kline[2] / kline[3];
}' "$work/report"
