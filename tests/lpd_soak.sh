#!/bin/sh
# A long run through the BSD spooler with trouble on the way: the queue's
# device is a FIFO read by a "printer" that goes away three times while a
# job is being sent and comes back, two jobs are cancelled with lprm while
# they print, and two job owners' defaults files are links to root-only
# files. Every other job must print once and be billed once, and every
# stretch the printer reads as one job (up to a 0x04) must run in
# Ghostscript without an error: a cancelled job may not spoil the next.
# Needs root, lpd, lpr, useradd and gs; exits 77 (skipped) when it cannot
# run. Changes /etc/printcap and the user database for a while, holding
# the same lock as lpd_test.sh.
# Usage: lpd_soak.sh BIN_DIR [JOBS]
bin=$1
jobs=${2:-200}
skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "needs root"
command -v lpd >/dev/null 2>&1 || [ -x /usr/sbin/lpd ] || skip "no lpd"
command -v lpr >/dev/null 2>&1 || skip "no lpr"
command -v gs >/dev/null 2>&1 || skip "no gs"
command -v useradd >/dev/null 2>&1 || skip "no useradd"
[ -x "$bin/texttops" ] && [ -x "$bin/imgtops" ] || skip "programs not built"
lpd=$(command -v lpd || echo /usr/sbin/lpd)
. "$(dirname "$0")/lpd_queue.sh"

exec 9>/tmp/zavps-lpd-test.lock
flock -w 900 9 || skip "another spooler test holds the lock"

queue=zavpssoak$$
owners="zavpsh1$$ zavpsh2$$"
plain=zavpssk$$
work=$(mktemp -d /tmp/zavps-soak-XXXXXX)
chmod 755 "$work"
spool=/var/spool/lpd/$queue
started="" made="" reader=""
cleanup() {
  [ -n "$reader" ] && kill "$reader" 2>/dev/null
  remove_queue
  [ -n "$started" ] && kill $started 2>/dev/null
  for u in $made; do userdel "$u" 2>/dev/null; done
  rm -f /root/zavps-soak-secret.$$
  rm -rf "$spool"
  if [ -n "$KEEP" ]; then echo "kept $work"; else rm -rf "$work"; fi
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; echo "log:"; tail -n 20 "$work/errs"; exit 1; }

mkdir "$work/bin"
cp "$bin/texttops" "$work/bin/zavpsif"
cp "$bin/imgtops" "$work/bin/zavpsvf"
chmod 755 "$work/bin" "$work/bin"/*
mkfifo "$work/device"
touch "$work/acct" "$work/errs"
chown lp:lp "$work/device" "$work/acct" "$work/errs" 2>/dev/null
chmod 666 "$work/device" "$work/acct" "$work/errs"
add_queue

# The printer: one reader of the FIFO per connection, each writing its
# own file, so that a dropped connection's half job is told apart. It
# reads about 3 MB a second, and holds the FIFO open between jobs.
connection=0
connect() {
  connection=$((connection + 1))
  perl -e 'sysopen(F, $ARGV[0], 2) or die; open(O, ">", $ARGV[1]) or die;
    select O; $| = 1;
    while (1) { sysread(F, $b, 65536); print O $b; select(undef, undef, undef, 0.02) }' \
    "$work/device" "$work/conn.$connection" &
  reader=$!
}
connect

# A daemon that another test stopped a moment ago may still be seen as
# running: whenever the queue says none is present, one is started.
# Daemons never hold the test lock (fd 9): a daemon left behind would
# keep every later spooler test waiting.
ensure_daemon() {
  if lpq -P "$queue" 2>&1 | grep -q "no daemon present"; then
    "$lpd" -s 2>/dev/null 9>&-
    sleep 1
    started="$started $(pgrep -nx lpd)"
  fi
}
live=""
for pid in $(pgrep -x lpd); do
  case $(ps -o stat= -p "$pid" 2>/dev/null) in Z*|"") ;; *) live=$pid ;; esac
done
if [ -z "$live" ]; then
  "$lpd" -s 9>&- || fail "lpd did not start"
  sleep 1
  started=$(pgrep -ox lpd)
fi

echo "secret root words" > /root/zavps-soak-secret.$$
chmod 600 /root/zavps-soak-secret.$$
for u in $owners $plain; do
  useradd -M -d "$work/$u" "$u" || skip "useradd $u failed"
  made="$made $u"
  mkdir "$work/$u"
  chown "$u" "$work/$u"
done
set -- $owners
runuser -u "$1" -- ln -s /root/zavps-soak-secret.$$ "$work/$1/.zavpsdefault"
runuser -u "$2" -- ln -s /etc/shadow "$work/$2/.zavpsdefault"

# Jobs: text of one to six pages, each line naming its job; every tenth
# a long one (sent while the printer goes away or cancelled); every
# seventh an image.
pgmramp -lr 300 200 2>/dev/null | pnmtopng > "$work/img.png" 2>/dev/null ||
  printf '' > "$work/img.png"
make_text() {  # id lines
  awk -v id="$1" -v n="$2" 'BEGIN { for (i = 1; i <= n; i++) printf "JOB-%s line %d end\n", id, i }'
}
wait_active() {  # until the queue prints something
  i=0
  while [ $i -lt 100 ]; do
    ensure_daemon
    lpq -P "$queue" 2>/dev/null | grep -q '^active' && return 0
    sleep 0.2; i=$((i + 1))
  done
  return 1
}
drain() {  # until the queue is empty
  i=0
  while ! lpq -P "$queue" 2>/dev/null | grep -q "no entries"; do
    [ $i -lt 900 ] || fail "the queue did not drain"
    ensure_daemon
    sleep 1; i=$((i + 1))
  done
}
cancelled="" images=0 drops=0 cancels=0
n=1
while [ $n -le "$jobs" ]; do
  id=$(printf '%03d' $n)
  owner=$plain
  [ $n = 4 ] && owner=$1
  [ $n = $((jobs - 3)) ] && owner=$2
  if [ $((n % 7)) = 0 ] && [ -s "$work/img.png" ]; then
    runuser -u $plain -- lpr -P "$queue" -v "$work/img.png" || fail "lpr -v"
    images=$((images + 1))
  elif [ $((n % 10)) = 5 ]; then
    make_text "$id" 100000 > "$work/j$id.txt"
    chmod 644 "$work/j$id.txt"
    # Trouble strikes this job alone: the queue is empty when it starts.
    drain
    runuser -u $plain -- lpr -P "$queue" "$work/j$id.txt" || fail "lpr of job $id"
    if [ $drops -lt 3 ] && [ $((n % 20)) = 5 ]; then
      # The printer goes away in the middle of this job, and comes back.
      wait_active && sleep 0.3
      kill "$reader"; wait "$reader" 2>/dev/null
      drops=$((drops + 1))
      sleep 2
      connect
    elif [ $cancels -lt 2 ] && [ $((n % 20)) = 15 ]; then
      wait_active && sleep 0.3
      active=$(lpq -P "$queue" 2>/dev/null | awk '$1 == "active" { print $3 }')
      runuser -u $plain -- lprm -P "$queue" "$active" >/dev/null 2>&1
      cancels=$((cancels + 1))
      cancelled="$cancelled $id"
    fi
  else
    make_text "$id" $((n % 6 * 60 + 10)) > "$work/j$id.txt"
    chmod 644 "$work/j$id.txt"
    runuser -u "$owner" -- lpr -P "$queue" "$work/j$id.txt" || fail "lpr of job $id"
  fi
  n=$((n + 1))
done

drain
sleep 1
kill "$reader" 2>/dev/null; wait "$reader" 2>/dev/null; reader=""

# Each job printed once, complete; the cancelled ones not at all.
cat "$work"/conn.* > "$work/all"
n=1 missing="" twice=""
while [ $n -le "$jobs" ]; do
  id=$(printf '%03d' $n)
  if [ -f "$work/j$id.txt" ]; then
    last=$(wc -l < "$work/j$id.txt")
    c=$(grep -c "(JOB-$id line $last end" "$work/all")
    case " $cancelled " in
      *" $id "*) [ "$c" = 0 ] || twice="$twice $id(cancelled)" ;;
      *) [ "$c" = 1 ] || { [ "$c" = 0 ] && missing="$missing $id" || twice="$twice $id"; } ;;
    esac
  fi
  n=$((n + 1))
done
[ -z "$missing" ] || fail "jobs not printed:$missing"
[ -z "$twice" ] || fail "jobs printed more than once:$twice"
[ "$(grep -c '^%%Creator: qmpvf$' "$work/all")" -ge "$images" ] || fail "images missing"

# Billed once: one record per printed job.
records=$(grep -c . "$work/acct")
expected=$((jobs - cancels))
[ "$records" = "$expected" ] || fail "$records accounting records for $expected jobs"

# What the printer reads as one job, up to each 0x04, runs cleanly; the
# last stretch of a dropped connection is cut off and not judged.
k=0
for f in "$work"/conn.*; do
  k=$((k + 1))
  awk -v base="$work/part.$k." 'BEGIN { RS = "\004"; n = 0 }
    { n++; printf "%s", $0 > (base n) }' "$f"
  parts=$(ls "$work/part.$k."* 2>/dev/null | sort -t. -k3 -n)
  total=$(echo "$parts" | grep -c .)
  j=0
  for p in $parts; do
    j=$((j + 1))
    [ -s "$p" ] || continue
    [ $k -lt $connection ] && [ $j = "$total" ] && continue
    grep -q '^%!' "$p" || continue
    gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage "$p" > "$work/gs.out" 2>&1 < /dev/null ||
      fail "printer error in $(basename "$p"): $(head -c 300 "$work/gs.out")"
    grep -q 'Error' "$work/gs.out" && fail "printer error in $(basename "$p")"
  done
done

# Nothing of the root-only files reached the device or the log.
grep -q 'secret root words\|root:' "$work/all" "$work/errs" && fail "a root-only file leaked"
for u in $owners; do
  grep -q "$work/$u/.zavpsdefault: defaults file not read" "$work/errs" ||
    fail "no log line for $u's defaults file"
done
echo "soak: $jobs jobs, $drops dropped connections, $cancels cancels, $records records," \
  "$(wc -c < "$work/all") bytes over $connection connections"
grep -c 'Broken pipe' "$work/errs" | sed 's/^/log lines about broken pipes: /'
