#!/bin/sh
# A queue made by zavps-addqueue prints on the first try with the real
# BSD spooler: a text job reaches the device as PostScript with nothing
# before it, and the filter, running as the spooler's user, appends its
# accounting record. A second run for the same name changes nothing.
# Needs root, lpd and lpr; exits 77 (skipped) otherwise.
# Usage: addqueue_test.sh BIN_DIR WINDOW_DUMP
bin=$1
dump=$2
skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "needs root"
command -v lpr >/dev/null 2>&1 || skip "no lpr"
lpd=$(command -v lpd || echo /usr/sbin/lpd)
[ -x "$lpd" ] || skip "no lpd"
. "$(dirname "$0")/lpd_queue.sh"
exec 9>/tmp/zavps-lpd-test.lock
flock -w 600 9 || skip "another spooler test holds the lock"

queue=zavpsaq$$
work=$(mktemp -d /tmp/zavps-aq-XXXXXX)
chmod 755 "$work"
started="" reader=""
cleanup() {
  if grep -q "^$queue|" /etc/printcap 2>/dev/null; then
    awk -v q="$queue|" 'index($0, q) == 1 { skip = 1 }
      !skip { print } skip && /:sh:$/ { skip = 0 }' /etc/printcap \
      > "$work/printcap.new" && cat "$work/printcap.new" > /etc/printcap
  fi
  [ -n "$started" ] && kill "$started" 2>/dev/null
  [ -n "$reader" ] && kill "$reader" 2>/dev/null
  rm -rf "/var/spool/lpd/$queue" "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; cat "$work/log/$queue.log" 2>/dev/null; exit 1; }

# The spooler's user must reach the filters: copies in the work directory.
mkdir "$work/bin"
cp "$bin/texttops" "$work/bin/zavpsif"
cp "$bin/imgtops" "$work/bin/zavpsvf"
chmod 755 "$work/bin"/*
start_printer && chown lp:lp "$work/device" || fail "no device"
export ZAVPS_LOG_DIR="$work/log"
sh "$bin/zavps-addqueue" -f "$work/bin" "$queue" "$work/device" || fail "zavps-addqueue"
sh "$bin/zavps-addqueue" -f "$work/bin" "$queue" "$work/device" 2>"$work/again" &&
  fail "a second queue of the same name"
grep -q "already has a queue '$queue'" "$work/again" || fail "refusal: $(cat "$work/again")"
[ "$(grep -c "^$queue|" /etc/printcap)" = 1 ] || fail "printcap entry changed"
[ "$(stat -c %U:%a "/var/spool/lpd/$queue")" = lp:2775 ] || fail "spool directory"
[ "$(stat -c %U "$work/log/$queue.acct")" = lp ] || fail "accounting file owner"

# A running daemon (not a zombie of an earlier run), or one of our own.
daemons() {
  for pid in $(pgrep -x lpd); do
    case $(ps -o stat= -p "$pid" 2>/dev/null) in Z*|"") ;; *) echo "$pid" ;; esac
  done
}
if [ -z "$(daemons)" ]; then
  "$lpd" -s 9>&- || fail "lpd did not start"
  sleep 1
  started=$(daemons | head -n 1)
fi
printf 'first line\n\fsecond page\n' > "$work/job.txt"
cp "$dump" "$work/dump.xwd"
chmod 644 "$work/job.txt" "$work/dump.xwd"
lpr -P "$queue" "$work/job.txt" && lpr -P "$queue" -v "$work/dump.xwd" &&
  lpr -P "$queue" "$work/job.txt" || fail "lpr"
i=0
while [ $i -lt 60 ] && [ "$(grep -c . "$work/log/$queue.acct")" -lt 3 ]; do sleep 1; i=$((i + 1)); done
# Three jobs, each a PostScript document from its first byte: no form feed
# from the spooler before, between or after them. The image job ends in
# the end-of-transmission byte, so the document after it, if any, starts
# behind it.
documents() { grep -c "^$(printf '\004')\{0,1\}%!PS-Adobe" "$work/printed"; }
i=0  # what the printer has still to read
while [ $i -lt 50 ] && [ "$(documents)" -lt 3 ]; do sleep 0.1; i=$((i + 1)); done
[ "$(documents)" = 3 ] || fail "not three documents"
tr -cd '\014' < "$work/printed" | grep -q . && fail "form feeds on the device"
grep -q "	.*:$(id -un)\$" "$work/log/$queue.acct" || fail "no accounting record"
echo "queue $queue printed $(wc -c < "$work/printed") bytes"
