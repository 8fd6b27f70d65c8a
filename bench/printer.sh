#!/bin/sh
# Printer-side cost of text documents: Ghostscript, as the printer's
# interpreter, runs texttops documents in both layouts (the stream layout,
# which is the default, and -l66 line counting) and enscript's document of
# the same 400 KB of text, and the time per page is set side by side. The
# stream layout with every line handed to the character-by-character MS
# is measured too, for comparison.
# Time is Ghostscript's CPU time (user + system), the least of the runs:
# on a shared machine other jobs only ever add to it. Each document kind
# has a fixed cost (start-up, fonts, prolog), taken from a one-line
# document of the same kind; the time per page is the rest divided by the
# pages, counted from the rendered files.
# Usage: bench/printer.sh [build-dir] [runs] [resolution] [KB of text]
# Needs enscript, ghostscript and python3.
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
res=${3:-30}
kb=${4:-400}
texttops=$build/bin/texttops
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Ordinary text: lines of varying length, tabs now and then.
. "$here/bench/corpus.sh"
ordinary_text "$kb" > "$work/full.txt"
echo "the quick brown fox" > "$work/one.txt"

for size in full one; do
  TEXTTOPSOPTION= "$texttops" "$work/$size.txt" > "$work/stream-$size.ps"
  TEXTTOPSOPTION= "$texttops" -l66 "$work/$size.txt" > "$work/lines-$size.ps"
  enscript -q -p "$work/enscript-$size.ps" "$work/$size.txt"
  sed 's/) FS$/) MS/' "$work/stream-$size.ps" > "$work/bychar-$size.ps"
done

set -- gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pgmraw -r"$res" \
       -sOutputFile="$work/page-%d.pgm"
gs="$*"

# CPU seconds of a command, to the microsecond.
cputime() {
  python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
               stderr=subprocess.DEVNULL)
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.6f" % (r.ru_utime + r.ru_stime))' "$@"
}

# Pages and least CPU seconds of Ghostscript on a document.
measure() {
  rm -f "$work"/page-*.pgm
  $gs "$1" > /dev/null 2>&1
  n=$(ls "$work" | grep -c '^page-' || true)
  t=$(for i in $(seq "$runs"); do cputime $gs "$1"; done | sort -n | head -1)
  echo "$n $t"
}

# Pages, fixed seconds and milliseconds a page of one document kind.
report() {
  set -- $(measure "$work/$1-full.ps") $(measure "$work/$1-one.ps")
  awk -v n="$1" -v t="$2" -v n1="$3" -v t1="$4" \
    'BEGIN { printf "%d %.3f %.3f\n", n, t1, (n > n1 ? 1000 * (t - t1) / (n - n1) : 0) }'
}

{
  echo "$(report stream) texttops (stream layout)"
  echo "$(report lines) texttops -l66 (line count)"
  echo "$(report enscript) enscript -q"
  echo "$(report bychar) stream, all by character"
} > "$work/report"

awk -v res="$res" -v kb="$kb" '{
  pages[NR] = $1; fixed[NR] = $2; page[NR] = $3
  $1 = $2 = $3 = ""; sub(/^ +/, ""); name[NR] = $0
} END {
  printf "%d KB of text, gs -r%s, CPU time, least of the runs\n", kb, res;
  printf "%-32s %6s %9s %9s\n", "document", "pages", "fixed", "per page";
  for (i = 1; i <= NR; i++)
    printf "%-32s %6d %8.3fs %7.3fms\n", name[i], pages[i], fixed[i], page[i];
  if (page[3] > 0)
    printf "per page against enscript: stream %.2f, line count %.2f\n",
      page[1] / page[3], page[2] / page[3];
}' "$work/report"
