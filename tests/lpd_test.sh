#!/bin/sh
# A real job through the BSD spooler: a queue whose device is a file and
# whose input and raster filters are the built programs. Needs root, lpd
# and lpr; exits 77 (skipped) when it cannot run.
# Usage: lpd_test.sh BIN_DIR WINDOW_DUMP
bin=$1
dump=$2
skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "needs root"
command -v lpd >/dev/null 2>&1 || [ -x /usr/sbin/lpd ] || skip "no lpd"
command -v lpr >/dev/null 2>&1 || skip "no lpr"
[ -x "$bin/texttops" ] && [ -x "$bin/imgtops" ] || skip "filters not built"
[ -r "$dump" ] || skip "no window dump at $dump"
lpd=$(command -v lpd || echo /usr/sbin/lpd)

queue=zavpstest$$
work=$(mktemp -d /tmp/zavps-lpd-XXXXXX)
chmod 755 "$work"
spool=/var/spool/lpd/$queue
started=""
cleanup() {
  if [ -f "$work/printcap" ]; then cat "$work/printcap" > /etc/printcap; fi
  if [ -n "$started" ]; then kill "$started" 2>/dev/null; fi
  rm -rf "$spool" "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; exit 1; }

# The daemon runs filters as an unprivileged user, who may not reach the
# build directory: the filters and the dump go into the work directory.
mkdir "$work/bin"
cp "$bin/texttops" "$work/bin/zavpsif"
cp "$bin/imgtops" "$work/bin/zavpsvf"
cp "$dump" "$work/dump.xwd"
chmod 755 "$work/bin" "$work/bin/zavpsif" "$work/bin/zavpsvf"
chmod 644 "$work/dump.xwd"
touch "$work/device" "$work/acct" "$work/errs"
chown lp:lp "$work/device" "$work/acct" "$work/errs" 2>/dev/null
chmod 666 "$work/device" "$work/acct" "$work/errs"
mkdir -p "$spool"
chown lp:lp "$spool" 2>/dev/null
chmod 2775 "$spool"

touch /etc/printcap
cp /etc/printcap "$work/printcap"
cat >> /etc/printcap <<CAP

$queue|zavps test queue:\\
	:lp=$work/device:\\
	:sd=$spool:\\
	:af=$work/acct:\\
	:lf=$work/errs:\\
	:if=$work/bin/zavpsif:\\
	:vf=$work/bin/zavpsvf:\\
	:mx#0:sh:
CAP

# Process ids of running daemons (a stopped one may linger as a zombie).
daemons() {
  for pid in $(pgrep -x lpd); do
    case $(ps -o stat= -p "$pid" 2>/dev/null) in Z*|"") ;; *) echo "$pid" ;; esac
  done
}
# Use a running daemon, or start one and remember its process id.
if [ -z "$(daemons)" ]; then
  "$lpd" -s || fail "lpd did not start"
  sleep 1
  started=$(daemons | head -n 1)
  [ -n "$started" ] || fail "lpd is not running"
fi

printf 'first line\nsecond (line)\n\fpage two\n' > "$work/job.txt"
lpr -P "$queue" "$work/job.txt" || fail "lpr of a text job"
lpr -P "$queue" -v "$work/dump.xwd" || fail "lpr -v of a window dump"

# Wait for both jobs to leave the queue.
i=0
while [ $i -lt 60 ]; do
  if lpq -P "$queue" 2>/dev/null | grep -q "no entries" &&
     [ "$(grep -c . "$work/acct")" -ge 2 ]; then
    break
  fi
  sleep 1
  i=$((i + 1))
done

grep -q '^%%Creator: zavpsif$' "$work/device" || fail "no text document on the device"
grep -q '(first line\\012) FS' "$work/device" || fail "text body missing"
grep -q '^%%Creator: qmpvf$' "$work/device" || fail "no image document on the device"
last=$(tail -c 1 "$work/device" | od -An -tx1 | tr -d ' ')
[ "$last" = 04 ] || fail "the image job does not end with 0x04 (last byte $last)"
user=$(id -un)
grep -q "^   0.00		.*:$user\$" "$work/acct" || fail "no text accounting record: $(cat "$work/acct")"
grep -q "^XWD	.*:$user\$" "$work/acct" || fail "no image accounting record: $(cat "$work/acct")"
echo "lpd jobs printed: $(wc -c < "$work/device") bytes, accounting:"
cat "$work/acct"
