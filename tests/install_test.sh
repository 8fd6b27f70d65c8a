#!/bin/sh
# Installs the build into a staging directory and checks what lands where;
# renders the manual pages with warnings on.
# Usage: install_test.sh BUILD_DIR SOURCE_DIR VERSION
build=$1
src=$2
version=$3
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
grep -q '^image/x-xwindowdump' "$stage/usr/local/share/cups/mime/zavps.types" ||
  fail "zavps.types not installed"
for page in texttops zavposttxt zavpsif imgtops imgtog4 zavpsvf zavpsg4f zavpsoption; do
  [ -f "$stage/usr/local/share/man/man1/$page.1" ] || fail "$page.1 not installed"
done
[ -f "$stage/usr/local/share/man/man5/zavpsdefault.5" ] || fail "zavpsdefault.5 not installed"
[ -f "$stage/usr/local/share/man/man8/zavps-addqueue.8" ] || fail "zavps-addqueue.8 not installed"
grep -q '^filters="/usr/local/zavpsbin"$' "$stage/usr/local/sbin/zavps-addqueue" ||
  fail "zavps-addqueue does not name the installed filters"
grep -q "\"zavps $version\"" "$stage/usr/local/share/man/man5/zavpsdefault.5" ||
  fail "manual pages without the version"
# The names users type, on the PATH, run the programs under those names.
for name in texttops imgtops imgtog4 zavpsoption; do
  [ -x "$stage/usr/local/bin/$name" ] || fail "bin/$name not installed"
done
"$stage/usr/local/bin/imgtog4" -V 2>&1 | grep -q "^imgtog4 version = $version$" || fail "bin/imgtog4 -V"
for f in printcap.example zavpsdefault.example; do
  [ -f "$stage/usr/local/share/doc/zavps/$f" ] || fail "$f not installed"
done
# The installed names run under their own names.
"$bin/zavpsif" -V 2>&1 | grep -q "^zavpsif version = $version$" || fail "zavpsif -V"
"$bin/imgtog4" -V 2>&1 | grep -q "^imgtog4 version = $version$" || fail "imgtog4 -V"

# A second install keeps a system file the administrator wrote.
echo "zavpsif -D" > "$bin/.zavpsdefault"
DESTDIR=$stage cmake --install "$build" --prefix /usr/local >/dev/null || fail "second install"
[ "$(cat "$bin/.zavpsdefault")" = "zavpsif -D" ] || fail "system defaults overwritten"

# Another prefix: the filters read the system file under it.
prefix=$stage/opt/zavps
cmake --install "$build" --prefix "$prefix" >/dev/null || fail "install into $prefix"
echo "zavpsif -Nc=3" > "$prefix/zavpsbin/.zavpsdefault"
echo x | "$prefix/zavpsbin/zavpsif" -n no-such-user-zz | grep -q "NumCopies 3" ||
  fail "system file under $prefix not read"

if command -v man >/dev/null 2>&1; then
  # Every invocation name has its page, also through the .so links.
  for name in zavpsif imgtog4 zavpsg4f; do
    MANWIDTH=80 man -M "$stage/usr/local/share/man" "$name" 2>/dev/null |
      grep -q "^NAME" || fail "man $name"
  done
  for page in "$src"/doc/man/*.[158]; do
    for locale in C C.UTF-8; do
      warnings=$(LC_ALL=$locale MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
      [ -z "$warnings" ] || fail "$page ($locale): $warnings"
    done
  done
fi
echo "installed and checked"
