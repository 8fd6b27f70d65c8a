#!/bin/sh
# Jobs through the BSD spooler: a queue whose device is a file and whose
# input and raster filters are the built programs. Printable jobs print;
# a binary leaves a line in the log file and no pages; a PDF prints
# through Ghostscript and a PNG sent with lpr -v as an image, and so
# do a PNG, a JPEG and a Group 4 TIFF sent with plain lpr (through the input filter); every log
# line names the job's owner and host; a
# job owner whose defaults file is a FIFO or a link to /dev/zero does not stop the
# queue; one who ran zavpsoption -J2 gets the job printed. Needs root, lpd, lpr and useradd; exits 77 (skipped) when it
# cannot run. Changes /etc/printcap and the user database for a while, so
# runs hold a lock and undo their own changes only.
# Usage: lpd_test.sh BIN_DIR WINDOW_DUMP PNG
bin=$1
dump=$2
png=$3
skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "needs root"
command -v lpd >/dev/null 2>&1 || [ -x /usr/sbin/lpd ] || skip "no lpd"
command -v lpr >/dev/null 2>&1 || skip "no lpr"
[ -x "$bin/texttops" ] && [ -x "$bin/imgtops" ] && [ -x "$bin/zavpsoption" ] ||
  skip "programs not built"
[ -r "$dump" ] && [ -r "$png" ] || skip "no window dump at $dump or PNG at $png"
command -v useradd >/dev/null 2>&1 || skip "no useradd"
command -v flock >/dev/null 2>&1 || skip "no flock"
lpd=$(command -v lpd || echo /usr/sbin/lpd)
. "$(dirname "$0")/lpd_queue.sh"

# One run at a time on this host, whichever build directory it comes from.
exec 9>/tmp/zavps-lpd-test.lock
flock -w 600 9 || skip "another spooler test holds the lock"

queue=zavpstest$$
# Job owners whose defaults file is a FIFO, /dev/zero, and what
# zavpsoption -J2 wrote.
fifo_owner=zavpsfifo$$
zero_owner=zavpszero$$
jog_owner=zavpsjog$$
work=$(mktemp -d /tmp/zavps-lpd-XXXXXX)
chmod 755 "$work"
spool=/var/spool/lpd/$queue
started="" reader=""
made_owners=""
cleanup() {
  remove_queue
  if [ -n "$started" ]; then kill "$started" 2>/dev/null; fi
  if [ -n "$reader" ]; then kill "$reader" 2>/dev/null; fi
  for u in $made_owners; do userdel "$u" 2>/dev/null; done
  rm -rf "$spool" "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; echo "log:"; cat "$work/errs"; exit 1; }

# The daemon runs filters as an unprivileged user, who may not reach the
# build directory: the filters and the dump go into the work directory.
mkdir "$work/bin"
cp "$bin/texttops" "$work/bin/zavpsif"
cp "$bin/imgtops" "$work/bin/zavpsvf"
cp "$bin/zavpsoption" "$work/bin/zavpsoption"
cp "$dump" "$work/dump.xwd"
chmod 755 "$work/bin" "$work/bin/zavpsif" "$work/bin/zavpsvf" "$work/bin/zavpsoption"
chmod 644 "$work/dump.xwd"
start_printer || fail "no device"
touch "$work/acct" "$work/errs"
chown lp:lp "$work/device" "$work/acct" "$work/errs" 2>/dev/null
chmod 666 "$work/device" "$work/acct" "$work/errs"
add_queue

# Process ids of running daemons (a stopped one may linger as a zombie).
daemons() {
  for pid in $(pgrep -x lpd); do
    case $(ps -o stat= -p "$pid" 2>/dev/null) in Z*|"") ;; *) echo "$pid" ;; esac
  done
}
# Use a running daemon, or start one and remember its process id.
if [ -z "$(daemons)" ]; then
  "$lpd" -s 9>&- || fail "lpd did not start"
  sleep 1
  started=$(daemons | head -n 1)
  [ -n "$started" ] || fail "lpd is not running"
fi

# Job owners whose homes hold the defaults files.
for u in $fifo_owner $zero_owner $jog_owner; do
  useradd -M -d "$work/$u" "$u" || skip "useradd $u failed"
  made_owners="$made_owners $u"
  mkdir "$work/$u"
  chown "$u" "$work/$u"
done
runuser -u $fifo_owner -- mkfifo "$work/$fifo_owner/.zavpsdefault"
runuser -u $zero_owner -- ln -s /dev/zero "$work/$zero_owner/.zavpsdefault"
runuser -u $jog_owner -- env HOME="$work/$jog_owner" "$work/bin/zavpsoption" -J2 >/dev/null ||
  fail "zavpsoption -J2"

printf 'first line\nsecond (line)\n\fpage two\n' > "$work/job.txt"
cp "$png" "$work/page.png"
# A photo and a fax-coded scan, as people send them with plain lpr.
/usr/bin/convert "$png" -quality 85 "$work/photo.jpg" || fail "no JPEG made"
/usr/bin/convert "$png" -monochrome -compress Group4 "$work/scan.tif" || fail "no TIFF made"
cp "$(command -v ls)" "$work/binary"
printf '%%!PS\n/Courier findfont 12 scalefont setfont 72 700 moveto (pdf job) show showpage\n' |
  gs -q -dSAFER -sDEVICE=pdfwrite -o "$work/doc.pdf" - || fail "no PDF made"
for n in fifo zero next jog; do printf '%s owner job\n' $n > "$work/$n.txt"; done
chmod 644 "$work"/*.txt "$work/page.png" "$work/photo.jpg" "$work/scan.tif" \
  "$work/binary" "$work/doc.pdf"

lpr -P "$queue" "$work/job.txt" || fail "lpr of a text job"
lpr -P "$queue" -v "$work/page.png" || fail "lpr -v of a PNG"
lpr -P "$queue" "$work/page.png" || fail "lpr of a PNG"
lpr -P "$queue" "$work/photo.jpg" || fail "lpr of a JPEG"
lpr -P "$queue" "$work/scan.tif" || fail "lpr of a TIFF"
lpr -P "$queue" "$work/binary" || fail "lpr of a binary"
lpr -P "$queue" "$work/doc.pdf" || fail "lpr of a PDF"
runuser -u $fifo_owner -- lpr -P "$queue" "$work/fifo.txt" || fail "lpr with a FIFO as defaults"
runuser -u $zero_owner -- lpr -P "$queue" "$work/zero.txt" || fail "lpr with /dev/zero as defaults"
runuser -u $zero_owner -- lpr -P "$queue" "$work/next.txt" || fail "lpr of the next job"
runuser -u $jog_owner -- lpr -P "$queue" "$work/jog.txt" || fail "lpr after zavpsoption -J2"
lpr -P "$queue" -v "$work/dump.xwd" || fail "lpr -v of a window dump"

# Wait for the jobs to leave the queue: eleven of them are accounted.
i=0
while [ $i -lt 60 ]; do
  if lpq -P "$queue" 2>/dev/null | grep -q "no entries" &&
     [ "$(grep -c . "$work/acct")" -ge 11 ]; then
    break
  fi
  sleep 1
  i=$((i + 1))
done
# What the printer has still to read.
size=-1
while [ "$(wc -c < "$work/printed")" != "$size" ]; do size=$(wc -c < "$work/printed"); sleep 0.3; done

grep -q '^%%Creator: zavpsif$' "$work/printed" || fail "no text document on the device"
grep -q '(first line\\012) LS' "$work/printed" || fail "text body missing"
grep -q '^%%Creator: qmpvf$' "$work/printed" || fail "no image document on the device"
# Jobs queued in the same second print in any order: the image document
# is followed by 0x04, and so are the PNGs'.
awk 'prev == "xpsav restore" && /^\004/ { found = 1 } { prev = $0 }
  END { exit !found }' "$work/printed" || fail "the image job does not end with 0x04"
[ "$(tr -cd '\004' < "$work/printed" | wc -c)" = 5 ] || fail "not five 0x04 bytes"
user=$(id -un)
grep -q "^   0.00		.*:$user\$" "$work/acct" || fail "no text accounting record: $(cat "$work/acct")"
grep -q "^XWD	.*:$user\$" "$work/acct" || fail "no image accounting record: $(cat "$work/acct")"

# Refused jobs: one line each in the log, no pages on the device.
for line in "zavpsif: job of $user@[^ ]*: binary file, not printed"; do
  [ "$(grep -cx "$line" "$work/errs")" = 1 ] || fail "log line '$line'"
done
[ "$(grep -c '^%%Creator: zavpsif$' "$work/printed")" = 5 ] ||
  fail "not five text documents on the device"
[ "$(grep -c '^%%Creator: qmpvf$' "$work/printed")" = 5 ] ||
  fail "not five image documents on the device"
grep -q 'ELF\|%PDF-' "$work/printed" && fail "refused input on the device"
[ "$(grep -c "^PNG	.*:$user\$" "$work/acct")" = 2 ] || fail "no records for the PNGs"
grep -q "^JPEG	.*:$user\$" "$work/acct" || fail "no record for the JPEG"
grep -q "^TIFF	.*:$user\$" "$work/acct" || fail "no record for the TIFF"
grep -q '^%%Creator: GPL Ghostscript' "$work/printed" || fail "the PDF did not print"
grep -q "^PostScript	.*:$user\$" "$work/acct" || fail "no record for the PDF"

# The owner's unusable defaults files: named in the log, the jobs print.
# A link is not followed, whatever it leads to.
{ echo "zavpsif: job of $fifo_owner@H: $work/$fifo_owner/.zavpsdefault: defaults file not read: not a regular file"
  for i in 1 2; do
    echo "zavpsif: job of $zero_owner@H: $work/$zero_owner/.zavpsdefault: defaults file not read: a symbolic link, not followed"
  done; } | sort > "$work/expected"
grep -F "$work/" "$work/errs" | grep -F 'defaults file not read' |
  sed 's/^\(zavpsif: job of [^@]*\)@[^ ]*: /\1@H: /' | sort |
  cmp -s - "$work/expected" || fail "log lines for the owners' defaults files"
for n in fifo zero next jog; do
  grep -q "($n owner job\\\\012) [FLM]S" "$work/printed" || fail "the $n job did not print"
done
[ "$(grep -c "		.*:$zero_owner\$" "$work/acct")" = 2 ] ||
  fail "no records for $zero_owner"
grep -q "		.*:$jog_owner\$" "$work/acct" || fail "no record for $jog_owner"
grep -q "Unknown option" "$work/errs" && fail "an option refused"
echo "lpd jobs printed: $(wc -c < "$work/printed") bytes, accounting:"
cat "$work/acct"
echo "log:"
cat "$work/errs"
