#!/bin/sh
# Real jobs through CUPS: a cupsd of its own (configuration, spool, logs
# and a local socket under a temporary directory), the build installed into
# a temporary prefix, a queue made from the installed PPD with a file:
# device, and jobs sent with lp by a user with a defaults file. Needs root
# and cups; exits 77 (skipped) when it cannot run.
# Usage: cups_test.sh BUILD_DIR WINDOW_DUMP
build=$1
dump=$2
skip() { echo "SKIPPED: $*"; exit 77; }
[ "$(id -u)" = 0 ] || skip "needs root"
for p in cupsd lpadmin lp lpstat gs useradd runuser; do
  command -v $p >/dev/null 2>&1 || [ -x /usr/sbin/$p ] || skip "no $p"
done
[ -r "$dump" ] || skip "no window dump at $dump"
PATH=$PATH:/usr/sbin

umask 022
work=$(mktemp -d /tmp/zavps-cups-XXXXXX)
chmod 755 "$work"
user=zcups$$
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
  userdel "$user" 2>/dev/null
  [ -n "$ZAVPS_KEEP" ] || rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  [ -f "$work/log/error_log" ] && grep -E '^[EW] ' "$work/log/error_log" | tail -n 20
  exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install"
ppd=$prefix/share/ppd/zavps/zavps.ppd
grep -q "^\*cupsFilter2: \"text/plain .* $prefix/zavpsbin/zavpscups-text\"$" "$ppd" ||
  fail "the PPD does not name the installed text entry"
# cupstestppd passes it without a warning.
if command -v cupstestppd >/dev/null 2>&1; then
  check=$(cupstestppd -W all "$ppd" 2>&1) || fail "cupstestppd: $check"
  echo "$check" | grep WARN && fail "cupstestppd warns"
fi

# The daemon: everything under $work, its only listener a local socket.
mkdir "$work/etc" "$work/spool" "$work/tmp" "$work/cache" "$work/run" \
      "$work/log" "$work/out"
chmod 1777 "$work/tmp"  # the filters, as lp, keep their temporary files here
cat > "$work/etc/cups-files.conf" <<EOF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/tmp
CacheDir $work/cache
StateDir $work/run
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
FileDevice Yes
User lp
Group lp
SystemGroup root
EOF
# The window dump type as the install provides it.
cp "$prefix/share/cups/mime/zavps.types" "$work/etc/" || fail "no zavps.types"
cat > "$work/etc/cupsd.conf" <<EOF
Listen $work/cups.sock
LogLevel info
Browsing No
WebInterface No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
EOF
# Starts the daemon and waits until it answers.
start_cupsd() {
  cupsd -f -c "$work/etc/cupsd.conf" -s "$work/etc/cups-files.conf" \
    > "$work/log/cupsd.out" 2>&1 &
  pid=$!
  i=0
  until lpstat -r 2>/dev/null | grep -q "is running"; do
    i=$((i + 1))
    [ $i -le 50 ] || fail "cupsd did not start: $(cat "$work/log/cupsd.out")"
    sleep 0.2
  done
}
export CUPS_SERVER="$work/cups.sock"
start_cupsd
lpadmin -p zavps -E -v "file://$work/out/device" -P "$ppd" 2>/dev/null ||
  fail "lpadmin"

# The job owner, whose defaults (A5, five copies, a stamp, short-edge
# duplex, toner saving) the CUPS options partly override.
mkdir "$work/home"
useradd -M -d "$work/home" -s /bin/sh "$user" || fail "useradd"
printf 'zavpsif -IA5 -Nc=5 -Hd=ur:uht -d -t\nzavpsvf -Hd=dl:u\n' > "$work/home/.zavpsdefault"
chmod 755 "$work/home"
chmod 644 "$work/home/.zavpsdefault"

# Sends a job as the owner; waits for it to leave the queue; the device's
# contents land in $work/job-N.ps. Prints the job number; fails when lp
# refuses the job.
print() {
  id=$(runuser -u "$user" -- env CUPS_SERVER="$CUPS_SERVER" lp -d zavps "$@" |
       sed -n 's/^request id is zavps-\([0-9]*\).*/\1/p')
  [ -n "$id" ] || return 1
  i=0
  while lpstat -W not-completed -o zavps | grep -q "^zavps-$id "; do
    i=$((i + 1))
    if [ $i -gt 150 ] || grep -q "\[Job $id\] Job stopped" "$work/log/error_log"; then
      break
    fi
    sleep 0.2
  done
  cp "$work/out/device" "$work/job-$id.ps" 2>/dev/null
  echo "$id"
}
completed() {
  lpstat -W completed -o zavps | grep -q "^zavps-$1 " || fail "job $1 ($2) did not complete"
}
# The printer's engine parameters, which Ghostscript lacks.
cat > "$work/prelude.ps" <<'EOF'
/currentdevparams { dup (%Engine%) eq { pop << /TonerSaver false >> }
  { //currentdevparams } ifelse } bind def
/setdevparams { 1 index (%Engine%) eq { pop pop } { //setdevparams } ifelse } bind def
EOF
prints() {
  out=$(gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=nullpage "$work/prelude.ps" "$1" 2>&1)
  [ $? = 0 ] && ! echo "$out" | grep -q Error || fail "$1 does not print: $out"
}

printf 'first line\nsecond line\n' > "$work/plain.txt"
printf 'Gr\303\274\303\237e, \346\227\245\346\234\254\350\252\236\n' > "$work/utf8.txt"
printf '%%!PS-Adobe-3.0\n%%%%Pages: 2\n%%%%EndComments\n%%%%Page: 1 1\n/Helvetica findfont 12 scalefont setfont\n72 72 moveto (a PostScript job) show showpage\n%%%%Page: 2 2\nshowpage\n%%%%EOF\n' > "$work/job.ps"
cp "$dump" "$work/dump.xwd"
# A dump whose header the image filter refuses: depth 0.
{ head -c 12 "$dump"; printf '\0\0\0\0'; tail -c +17 "$dump"; } > "$work/bad.xwd"
chmod 644 "$work"/*.txt "$work"/*.ps "$work"/*.xwd

text=$(print -t "A report" -o media=A4 -o sides=two-sided-long-edge \
             -o copies=2 -o Collate=True "$work/plain.txt") || fail "lp of a text"
completed "$text" "text"
doc=$work/job-$text.ps
[ "$(grep -c '/NumCopies' "$doc")" = 1 ] || fail "not one copy request: $(grep NumCopies "$doc")"
grep -q '^<</NumCopies 2>> setpagedevice$' "$doc" || fail "no request for 2 copies"
grep -q '/Collate true' "$doc" || fail "no collation request"
grep -q '/Duplex true /Tumble false' "$doc" || fail "no long-edge duplex request"
grep -q '/PageSize \[595 842\]' "$doc" || fail "no A4 request"
grep -q '\[420 595\]' "$doc" && fail "the defaults file's A5 won over media=A4"
grep -q "User:$user Host:" "$doc" || fail "no stamp from the owner's defaults file"
grep -q '^%%Title: A report$' "$doc" || fail "the job's title is not the DSC title"
grep -q "^%%For: .*:$user\$" "$doc" || fail "the document is not for the job's owner"
prints "$doc"

utf8=$(print -o sides=one-sided -o zavps-toner-saver=False "$work/utf8.txt") ||
  fail "lp of a UTF-8 text"
completed "$utf8" "UTF-8 text"
grep -q '/Duplex\|/TonerSaver' "$work/job-$utf8.ps" &&
  fail "one-sided, no toner saving did not win over the defaults file"
prints "$work/job-$utf8.ps"

# CUPS's conventions: names and values in any case, the tray of media
# kept though CUPS adds PageSize after it, a bad value ignored with a
# warning, and the job's one copy beating the defaults file's five.
conv=$(print -o MEDIA=a4,tray2 -o collate=TRUE -o zavps-stamp=middle "$work/plain.txt") ||
  fail "lp with CUPS's conventions"
completed "$conv" "conventions"
doc=$work/job-$conv.ps
grep -q '/Priority \[1\]' "$doc" || fail "media=a4,tray2 lost the tray"
grep -q '^<</NumCopies 1>> setpagedevice$' "$doc" || fail "the job's one copy did not win"
grep -q '/Collate true' "$doc" || fail "collate=TRUE not taken"
grep -q "^W .*\[Job $conv\] zavps-stamp=middle: " "$work/log/error_log" ||
  fail "no warning for the bad stamp"
prints "$doc"

# A private home directory hides the owner's file: no warning on the job.
chmod 700 "$work/home"
private=$(print "$work/plain.txt") || fail "lp with a private home"
chmod 755 "$work/home"
completed "$private" "private home"
grep -q "\[Job $private\] .*defaults file not read" "$work/log/error_log" &&
  fail "a private home directory warns"

image=$(print "$work/dump.xwd") || fail "lp of a window dump"
completed "$image" "window dump"
grep -q '^%%Creator: qmpvf$' "$work/job-$image.ps" || fail "no image document"
grep -q "User:$user " "$work/job-$image.ps" || fail "no stamp from the zavpsvf line"
prints "$work/job-$image.ps"
grep -q "^zavps $user $image \[.*\] total 1 " "$work/log/page_log" ||
  fail "no page count for the window dump: $(cat "$work/log/page_log")"

ps=$(print -o zavps-stamp=dl:u -o zavps-toner-saver "$work/job.ps") ||
  fail "lp of a PostScript file"
completed "$ps" "PostScript"
grep -q '(a PostScript job) show' "$work/job-$ps.ps" || fail "PostScript body missing"
grep -q '/TonerSaver true' "$work/job-$ps.ps" || fail "no toner saving request"
prints "$work/job-$ps.ps"
grep -q "^zavps $user $ps \[.*\] total 2 " "$work/log/page_log" ||
  fail "no page count for the PostScript job: $(cat "$work/log/page_log")"

# An office-style document whose own setup asks for Letter, one side and
# one copy: the job's A4, duplex and three copies win.
cat > "$work/office.ps" <<'EOF'
%!PS-Adobe-3.0
%%Pages: 1
%%EndComments
%%BeginProlog
/F { /Helvetica findfont exch scalefont setfont } bind def
%%EndProlog
%%BeginSetup
%%BeginFeature: *PageSize Letter
<</PageSize [612 792] /ImagingBBox null>> setpagedevice
%%EndFeature
%%BeginFeature: *Duplex None
<</Duplex false>> setpagedevice
%%EndFeature
%%EndSetup
%%Page: 1 1
12 F 72 72 moveto (an office document) show showpage
%%Trailer
%%EOF
EOF
chmod 644 "$work/office.ps"
office=$(print -n 3 -o media=A4 -o sides=two-sided-long-edge "$work/office.ps") ||
  fail "lp of an office document"
completed "$office" "office document"
doc=$work/job-$office.ps
grep -q '612 792\|/Duplex false' "$doc" && fail "the document's own page setup is left in"
setup=$(grep -n '^%%EndSetup' "$doc" | cut -d: -f1)
for request in '/PageSize \[595 842\]' '/Duplex true' '/NumCopies 3'; do
  line=$(grep -n "$request" "$doc" | head -n 1 | cut -d: -f1)
  [ -n "$line" ] && [ "$line" -gt "$setup" ] ||
    fail "$request is not after the document's setup"
done
prints "$doc"

# Ghostscript's ps2write asks for each page's own size (Letter here): the
# job's A4 wins.
gs -q -dSAFER -sDEVICE=ps2write -o "$work/ps2write.ps" -c \
  '<</PageSize [612 792]>> setpagedevice /Helvetica findfont 12 scalefont setfont
   72 72 moveto (ps2write) show showpage' || fail "no ps2write document made"
chmod 644 "$work/ps2write.ps"
office2=$(print -o media=A4 "$work/ps2write.ps") || fail "lp of a ps2write document"
completed "$office2" "ps2write document"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pgmraw -r72 -o "$work/ps2write.pgm" \
  "$work/prelude.ps" "$work/job-$office2.ps" >/dev/null 2>&1
sed -n 's/^\([0-9]* [0-9]*\)$/\1/p' "$work/ps2write.pgm" | head -n 1 | grep -q '^595 842$' ||
  fail "the ps2write document is not printed on A4"

bad=$(print -o document-format=image/x-xwindowdump "$work/bad.xwd") ||
  fail "lp of a refused dump"
lpstat -W completed -o zavps | grep -q "^zavps-$bad " && fail "a refused dump completed"
grep -q "^E .*\[Job $bad\] The input is not an image this filter can print" \
  "$work/log/error_log" || fail "no ERROR line for the refused dump"
grep -q "\[Job $bad\] Job stopped" "$work/log/error_log" || fail "the refused job is not stopped"

# The queue's defaults, set with lpadmin, apply where the job says
# nothing; the job's own options win.
lpadmin -p zavps -o OutputBin=RearTray -o Collate=True -o zavps-jog=job ||
  fail "lpadmin -o"
queue=$(print -o noCollate "$work/plain.txt") || fail "lp with queue defaults"
completed "$queue" "queue defaults"
doc=$work/job-$queue.ps
grep -q '/Priority \[1 0\]' "$doc" || fail "the queue's rear tray is not used"
grep -q '/Jog 1 put' "$doc" || fail "the queue's jog is not used"
grep -q '/Collate true' "$doc" && fail "the queue's collation beat the job's"
prints "$doc"

# Through CUPS's own filters: PostScript after pstops, PDF and PNG after
# pdftopdf and pdftops, banners, the test page, number-up and page ranges.
# Copies are made once: pstops asks the printer, never repeats the pages.
pages() {
  gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=bbox "$work/prelude.ps" "$1" 2>&1 |
    grep -c '^%%HiResBoundingBox'
}
{
  printf '%%!PS-Adobe-3.0\n%%%%Pages: 4\n%%%%EndComments\n'
  for n in 1 2 3 4; do
    printf '%%%%Page: %s %s\n/Helvetica findfont 30 scalefont setfont 72 72 moveto (page %s) show showpage\n' $n $n $n
  done
  printf '%%%%EOF\n'
} > "$work/four.ps"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pdfwrite -sOutputFile="$work/four.pdf" "$work/four.ps" ||
  fail "no PDF made"
gs -q -dSAFER -dBATCH -dNOPAUSE -sDEVICE=pnggray -r20 -sOutputFile="$work/photo.png" \
  -c 'showpage' || fail "no PNG made"
chmod 644 "$work/four.ps" "$work/four.pdf" "$work/photo.png"
chain=""
while read -r want expect args; do
  # shellcheck disable=SC2086
  id=$(print $args) || fail "lp $args refused"
  completed "$id" "$args"
  doc=$work/job-$id.ps
  prints "$doc"
  [ "$(pages "$doc")" = "$want" ] || fail "lp $args: not $want pages but $(pages "$doc")"
  [ "$expect" = - ] || grep -q "$expect" "$doc" || fail "lp $args: no $expect"
  chain="$chain $id"
done <<EOF
4 /NumCopies.3 -n 3 -o Collate=True $work/four.ps
4 /NumCopies.3 -n 3 -o Collate=False $work/four.ps
4 /NumCopies.3 -n 3 $work/four.pdf
1 - $work/photo.png
2 - -o number-up=2 $work/four.ps
2 - -P 2-3 $work/four.ps
1 - /usr/share/cups/data/testprint
EOF
banner=$(print -o job-sheets=standard "$work/plain.txt") || fail "lp with a banner"
completed "$banner" "banner"
chain="$chain $banner"

# Without cups-filters: the daemon restarted on a data directory whose
# MIME files are CUPS's own alone; a window dump still prints through the
# image entry, typed by the installed zavps.types.
kill "$pid" && wait "$pid" 2>/dev/null
pid=""
mkdir -p "$work/data/mime"
for d in /usr/share/cups/*; do
  [ "$d" = /usr/share/cups/mime ] || ln -s "$d" "$work/data/"
done
ln -s /usr/share/cups/mime/mime.types /usr/share/cups/mime/mime.convs "$work/data/mime/"
echo "DataDir $work/data" >> "$work/etc/cups-files.conf"
start_cupsd
print "$work/photo.png" >/dev/null && fail "a PNG is taken without cups-filters"
bare=$(print "$work/dump.xwd") || fail "lp of a dump without cups-filters"
completed "$bare" "dump without cups-filters"
grep -q '^%%Creator: qmpvf$' "$work/job-$bare.ps" || fail "the dump did not go through the image entry"
prints "$work/job-$bare.ps"

echo "CUPS jobs printed: $text $utf8 $conv $private $image $ps $office $office2 $queue$chain $bare; job $bad refused"
