# Sourced by the spooler tests: a queue of their own in /etc/printcap,
# with its spool directory, whose device, accounting file, log and
# filters are in the work directory ($work/device, acct, errs and
# bin/zavpsif, bin/zavpsvf). Needs $queue, $spool and $work.

add_queue() {
  mkdir -p "$spool"
  chown lp:lp "$spool" 2>/dev/null
  chmod 2775 "$spool"
  touch /etc/printcap
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
}

# Only this run's entry leaves /etc/printcap.
remove_queue() {
  if grep -q "^$queue|" /etc/printcap 2>/dev/null; then
    awk -v q="$queue|" 'index($0, q) == 1 { skip = 1 }
      !skip { print } skip && /:mx#0:sh:$/ { skip = 0 }' /etc/printcap \
      > "$work/printcap.new" && cat "$work/printcap.new" > /etc/printcap
  fi
}

# The device, $work/device, is a FIFO read by a "printer" that appends
# what it gets to $work/printed: lpd opens a file device afresh, at its
# start, each time it takes up the queue, so jobs printed in two goes
# would overwrite one another in a plain file. The printer holds the FIFO
# open for writing too, so that it never reads an end between jobs. Sets
# $reader, the printer's process.
start_printer() {
  mkfifo "$work/device" && touch "$work/printed" || return 1
  perl -e 'sysopen(F, $ARGV[0], 2) or die; open(O, ">>", $ARGV[1]) or die;
    select O; $| = 1; while (sysread(F, $b, 65536)) { print O $b }' \
    "$work/device" "$work/printed" &
  reader=$!
}
