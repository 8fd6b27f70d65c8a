#!/bin/sh
# Installs the build into a staging directory and checks what lands where;
# renders the manual pages with warnings on.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR
build=$1
src=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
fail() { echo "FAILED: $*"; exit 1; }

DESTDIR=$stage cmake --install "$build" --prefix /usr/local >/dev/null || fail "cmake --install"
bin=$stage/usr/local/zavpsbin
for name in texttops zavposttxt zavpsif imgtops imgtog4 zavpsvf zavpsg4f zavpsoption; do
  [ -x "$bin/$name" ] || fail "$name not installed"
done
[ -e "$bin/.zavpsdefault" ] && fail "a system defaults file was installed"
# CUPS: both entries, and a PPD that names them where they run, without
# the staging directory.
for name in zavpscups-text zavpscups-image; do
  [ -x "$bin/$name" ] || fail "$name not installed"
done
[ "$(grep -c '^\*cupsFilter2: ".* /usr/local/zavpsbin/zavpscups-\(text\|image\)"$' \
     "$stage/usr/local/share/ppd/zavps/zavps.ppd")" = 3 ] || fail "PPD filter lines"
for page in man1/texttops.1 man1/imgtops.1 man1/zavpsoption.1 man5/zavpsdefault.5; do
  [ -f "$stage/usr/local/share/man/$page" ] || fail "$page not installed"
done
for f in printcap.example zavpsdefault.example; do
  [ -f "$stage/usr/local/share/doc/zavps/$f" ] || fail "$f not installed"
done
# The installed names run under their own names.
"$bin/zavpsif" -V 2>&1 | grep -q "^zavpsif version = 1.0.1.0$" || fail "zavpsif -V"
"$bin/imgtog4" -V 2>&1 | grep -q "^imgtog4 version = 1.0.1.0$" || fail "imgtog4 -V"

# A second install keeps a system file the administrator wrote.
echo "zavpsif -D" > "$bin/.zavpsdefault"
DESTDIR=$stage cmake --install "$build" --prefix /usr/local >/dev/null || fail "second install"
[ "$(cat "$bin/.zavpsdefault")" = "zavpsif -D" ] || fail "system defaults overwritten"

if command -v man >/dev/null 2>&1; then
  for page in "$src"/doc/man/*.[15]; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$page: $warnings"
  done
fi
echo "installed and checked"
