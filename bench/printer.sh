#!/bin/sh
# Printer-side cost of text documents: Ghostscript, as the printer's
# interpreter, runs texttops documents in both layouts (the stream layout,
# which is the default, and -l66 line counting) and enscript's document of
# the same English text. Texts: ordinary text and source code with long
# lines, both also with a stamp (which keeps to the stream layout), and
# Japanese UTF-8 prose against the same lines and columns in English (and
# paps's document of it, when paps is installed). For these and for the
# source code, a "glyphs" document holds the shows of texttops's stream
# layout alone, each string at the place where that document shows it,
# with no layout procedures: the least work any layout of that text in
# those fonts can cost.
# Each document is measured whole and with its fixed cost taken off: the
# fixed cost (start-up, fonts, prolog) is that of a one-line document of
# the same kind (a Japanese line for Japanese text). Pages are counted
# from the rendered files.
# Cost is Ghostscript's CPU time (user + system), the least of the runs:
# on a shared machine other jobs only ever add to it. With
# PRINTER_COST=instructions it is the instructions Ghostscript executes,
# counted once under valgrind: slow, but the same on every run, so small
# differences show through a busy machine. PRINTER_JOBS runs that many
# measurements at once.
# Usage: bench/printer.sh [build-dir] [runs] [resolution] [KB of text]
# Needs enscript, ghostscript and python3 (and valgrind for instructions).
set -e
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
runs=${2:-5}
res=${3:-300}
kb=${4:-400}
cost=${PRINTER_COST:-cpu}
jobs=${PRINTER_JOBS:-1}
texttops=$build/bin/texttops
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8

. "$here/bench/corpus.sh"
ordinary_text "$kb" > "$work/ordinary.txt"
source_text "$kb" > "$work/source.txt"
japanese_text "$kb" > "$work/japanese.txt"
english_twin < "$work/japanese.txt" > "$work/twin.txt"
echo "the quick brown fox" > "$work/one.txt"
echo "日本語の文章を印刷する" > "$work/jone.txt"

# The documents: name, text, one-line text, maker and its options.
cat > "$work/docs" <<EOF
ordinary|ordinary|one|texttops
ordinary-l66|ordinary|one|texttops -l66
ordinary-enscript|ordinary|one|enscript
source|source|one|texttops
source-l66|source|one|texttops -l66
source-enscript|source|one|enscript
stamp-ordinary|ordinary|one|texttops -Hd=ur:uht
stamp-source|source|one|texttops -Hd=ur:uht
japanese|japanese|jone|texttops
japanese-l66|japanese|jone|texttops -l66
twin|twin|one|texttops
twin-l66|twin|one|texttops -l66
source-glyphs|source|one|glyphs
japanese-glyphs|japanese|jone|glyphs
twin-glyphs|twin|one|glyphs
EOF
command -v paps > /dev/null && echo "japanese-paps|japanese|jone|paps" >> "$work/docs"

# Prints each show of a document with the point it starts at, and each
# page end, as the lines of a document that does just that.
cat > "$work/trace.ps" <<'EOF'
/realshow /show load def /realshowpage /showpage load def
/hex {(<) print {16#100 add 16 3 string cvrs 1 2 getinterval print} forall (>) print} bind def
userdict /show {currentpoint exch 20 string cvs print ( ) print 20 string cvs print
( M ) print dup hex ( S\n) print realshow} bind put
userdict /showpage {(EndPage\n) print realshowpage} bind put
EOF

# glyphs text output: texttops's document of the text, its shows alone
# after its prolog, a page started before the first show of each page (and
# the Japanese fonts before the first Japanese string).
glyphs() {
  TEXTTOPSOPTION= "$texttops" "$1" > "$2.full"
  sed -n '1,/^%%EndDocumentSetup/p' "$2.full" > "$2"
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage "$work/trace.ps" "$2.full" |
    awk '/^EndPage/ { print; open = 0; next }
         !j { for (i = 2; i < length($4); i += 2)
                if (substr($4, i, 4) ~ /^FF0[123]$/) { print "(\\377\\002\\060\\041) J pop"; j = 1; break } }
         !open { print "StartPage"; open = 1 } { print }' >> "$2"
  rm "$2.full"
}

# make maker options text output
make() {
  maker=$1 opts=$2
  case $maker in
    texttops) TEXTTOPSOPTION= "$texttops" $opts "$3" > "$4" ;;
    glyphs) glyphs "$3" "$4" ;;
    enscript) enscript -q -p "$4" "$3" ;;
    paps) paps --format=ps "$3" > "$4" 2>/dev/null || paps "$3" > "$4" ;;
  esac
}
while IFS='|' read -r name text one cmd; do
  set -- $cmd
  maker=$1; shift
  make "$maker" "$*" "$work/$text.txt" "$work/$name.ps"
  make "$maker" "$*" "$work/$one.txt" "$work/$name-one.ps"
done < "$work/docs"

# A one-bit page at the printer's resolution, as a laser printer makes it.
gs="gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pbmraw -r$res -sOutputFile=/dev/null"

# Cost of Ghostscript on a document, into document.cost: CPU
# milliseconds, the least of the runs, or millions of instructions.
cat > "$work/measure" <<EOF
#!/bin/sh
if [ "$cost" = instructions ]; then
  valgrind --tool=callgrind --callgrind-out-file=/dev/null $gs "\$1" 2>&1 |
    sed -n 's/.*Collected : \([0-9]*\).*/\1/p' |
    awk '{ printf "%.3f\n", \$1 / 1e6 }' > "\$1.cost"
  exit
fi
for i in \$(seq $runs); do
  python3 -c 'import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
               stderr=subprocess.DEVNULL)
r = resource.getrusage(resource.RUSAGE_CHILDREN)
print("%.3f" % (1000 * (r.ru_utime + r.ru_stime)))' $gs "\$1"
done | sort -n | head -1 > "\$1.cost"
EOF
chmod +x "$work/measure"
ls "$work"/*.ps | xargs -P "$jobs" -n 1 "$work/measure"

# Pages of a document, rendered coarsely into files.
pages() {
  mkdir "$work/pages"
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pbmraw -r10 \
     -sOutputFile="$work/pages/%d" "$1" > /dev/null 2>&1
  ls "$work/pages" | wc -l
  rm -rf "$work/pages"
}

while IFS='|' read -r name text one cmd; do
  echo "$name|$(wc -l < "$work/$text.txt")|$(pages "$work/$name.ps")|$(cat "$work/$name.ps.cost")|$(cat "$work/$name-one.ps.cost")|$cmd"
done < "$work/docs" > "$work/report"

unit=ms; [ "$cost" = instructions ] && unit=Minstr
awk -F'|' -v res="$res" -v kb="$kb" -v cost="$cost" -v unit="$unit" '{
  n[NR] = $1; lines[NR] = $2; pages[NR] = $3; job[NR] = $4; fixed[NR] = $5
  cmd[NR] = $6; at[$1] = NR
} END {
  printf "%d KB of each text, gs -r%s, %s in %s\n", kb, res,
    (cost == "cpu" ? "CPU time, least of the runs" : "instructions"), unit;
  printf "%-20s %-28s %6s %6s %9s %8s %9s %7s %7s\n", "document", "made by", "lines",
    "pages", "job", "fixed", "fixed off", "x job", "x off";
  for (i = 1; i <= NR; i++) {
    # Against enscript for English text, the English twin for Japanese.
    ref = n[i]; sub(/-(l66|enscript|paps|glyphs)$/, "", ref)
    sub(/^stamp-/, "", ref)
    if (ref == "japanese") { ref = n[i]; sub(/^japanese/, "twin", ref); sub(/-paps$/, "", ref) }
    else if (ref != "twin") ref = ref "-enscript"
    else ref = ""
    r = at[ref]
    printf "%-20s %-28s %6d %6d %9.1f %8.1f %9.1f", n[i], cmd[i], lines[i], pages[i],
      job[i], fixed[i], job[i] - fixed[i];
    if (r && r != i)
      printf " %7.2f %7.2f", job[i] / job[r], (job[i] - fixed[i]) / (job[r] - fixed[r]);
    printf "\n";
  }
  e = at["ordinary-enscript"]
  printf "one-line document: texttops %.1f, enscript %.1f (%.2f)\n",
    fixed[at["ordinary"]], fixed[e], fixed[at["ordinary"]] / fixed[e];
}' "$work/report"
