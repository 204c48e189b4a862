#!/bin/sh
# Builds the .deb with cpack into a fresh folder, as the README tells a person
# to, and checks what apt would install: the control fields, every file with
# its owner and mode, nothing a system install must not carry, and lintian's
# verdict (no error).
# Usage: deb_test.sh CPACK BUILD_DIR
set -u
cpack="$1"
build="$2"

for tool in dpkg-deb dpkg-shlibdeps; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool not found (Debian packages dpkg and dpkg-dev)"
    exit 77
  fi
done

# shellcheck source=tests/lib/install.sh
. "$(dirname "$0")/../lib/install.sh"
# cpack installs each component and writes install_manifest_<component>.txt
# into the build folder: put back what was there before.
install_setup "$build" 'install_manifest_*.txt'

out="$work/out"
(cd "$build" && "$cpack" -G DEB -B "$out" --config "$build/CPackConfig.cmake") >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack -G DEB failed"; exit 1; }
set -- "$out"/*.deb
if [ $# -ne 1 ] || [ ! -f "$1" ]; then
  cat "$work/cpack.log"
  fail "cpack made $# packages, expected one"
  exit 1
fi
deb="$1"

# ------------------------------------------------------------------ control
field() { dpkg-deb -f "$deb" "$1"; }
version="$(field Version)"
arch="$(dpkg --print-architecture)"
[ "$(basename "$deb")" = "velmora_${version}_${arch}.deb" ] ||
  fail "package file is $(basename "$deb"), expected velmora_${version}_${arch}.deb"
# field | what its value must match (a shell pattern)
while read -r name pattern; do
  [ -n "$name" ] || continue
  value="$(field "$name")"
  # shellcheck disable=SC2254 # the pattern is meant to match
  case "$value" in
    $pattern) ;;
    *) fail "$name is '$value', expected $pattern" ;;
  esac
done <<EOF
Package velmora
Version 1.0
Architecture $arch
Section utils
Priority optional
Maintainer *?<*@*>
Recommends *qt6-wayland*
Depends *libqt6widgets6*
Description ?*
EOF

# ------------------------------------------------------------------ contents
# Lines of "mode owner size date time ./path [-> target]", as path|mode|owner|target.
dpkg-deb -c "$deb" | awk '{
  target = ""; if ($7 == "->") target = $8
  print $6 "|" $1 "|" $2 "|" target
}' >"$work/contents"

# path | mode | link target ("-": not a link)
while IFS='|' read -r path mode target; do
  [ -n "$path" ] || continue
  line="$(grep -F "./usr/$path|" "$work/contents")"
  if [ -z "$line" ]; then
    fail "the package lacks /usr/$path"
    continue
  fi
  got_mode="$(echo "$line" | cut -d'|' -f2)"
  got_target="$(echo "$line" | cut -d'|' -f4)"
  [ "$got_mode" = "$mode" ] || fail "/usr/$path has mode $got_mode, expected $mode"
  [ "$target" = - ] && target=""
  [ "$got_target" = "$target" ] || fail "/usr/$path leads to '$got_target', expected '$target'"
done <<'EOF'
lib/velmora/velmora|-rwxr-xr-x|-
lib/velmora/velmora-undo|-rwxr-xr-x|-
bin/velmora|lrwxrwxrwx|../lib/velmora/velmora
bin/velmora-undo|lrwxrwxrwx|../lib/velmora/velmora-undo
share/applications/velmora.desktop|-rw-r--r--|-
share/kio/servicemenus/velmora.desktop|-rw-r--r--|-
share/man/man1/velmora.1.gz|-rw-r--r--|-
share/man/man1/velmora-undo.1.gz|-rw-r--r--|-
share/metainfo/io.github.velmora.Velmora.metainfo.xml|-rw-r--r--|-
share/doc/velmora/copyright|-rw-r--r--|-
share/doc/velmora/changelog.gz|-rw-r--r--|-
share/icons/hicolor/16x16/apps/velmora.png|-rw-r--r--|-
share/icons/hicolor/48x48/apps/velmora.png|-rw-r--r--|-
share/icons/hicolor/256x256/apps/velmora.png|-rw-r--r--|-
share/icons/hicolor/scalable/apps/velmora.svg|-rw-r--r--|-
EOF

# Every entry belongs to root, nothing but root may write it, nothing runs
# as another user, and everything lies under /usr.
while IFS='|' read -r path mode owner target; do
  [ "$owner" = root/root ] || fail "$path is owned by $owner"
  case "$mode" in
    l*) ;;
    d*) [ "$mode" = drwxr-xr-x ] || fail "folder $path has mode $mode" ;;
    ?????w*|????????w*) fail "$path is writable by others: $mode" ;;
    *[sSt]*) fail "$path has a set-id or sticky bit: $mode" ;;
  esac
  case "$path" in
    ./ | ./usr/*) ;;
    *) fail "$path lies outside /usr" ;;
  esac
  # Caches belong to the machine, which its triggers refresh; the log and the
  # word list belong to the person.
  case "$path" in
    */mimeinfo.cache | */icon-theme.cache | */Undo.log | */words.txt)
      fail "the package carries $path" ;;
  esac
done <"$work/contents"

# The manual page is the one in the sources, compressed.
mkdir "$work/root"
dpkg-deb -x "$deb" "$work/root"
# The manual page points to installed files only, not to the source tree.
! gzip -dc "$work/root/usr/share/man/man1/velmora.1.gz" 2>/dev/null | grep -qi 'readme\|packaging/' ||
  fail "the manual page refers to files that are not installed"
# The GNOME Files script and the Thunar action, for the README's commands.
[ -x "$work/root/usr/share/velmora/Rename with Velmora" ] || fail "no GNOME Files script in /usr/share/velmora"
grep -q '<command>velmora %f</command>' "$work/root/usr/share/velmora/velmora-action.xml" 2>/dev/null ||
  fail "no Thunar action in /usr/share/velmora"
# The metainfo's screenshot is the picture shipped beside those files, and it
# says where the project lives.
meta="$work/root/usr/share/metainfo/io.github.velmora.Velmora.metainfo.xml"
shot="$(sed -n 's|.*<image type="source"[^>]*>https://[^<]*/docs/\([^<]*\)</image>.*|\1|p' "$meta")"
[ -n "$shot" ] && cmp -s "$work/root/usr/share/velmora/$shot" "$(dirname "$0")/../../docs/$shot" ||
  fail "the metainfo's screenshot (${shot:-none}) is not shipped in /usr/share/velmora"
grep -q '<url type="homepage">https://' "$meta" && grep -q '<url type="vcs-browser">https://' "$meta" ||
  fail "the metainfo gives no homepage and source address"
dpkg-deb -e "$deb" "$work/control"
# A comment may name it; no command may run it.
! grep -l '^[^#]*ldconfig' "$work/control"/* >/dev/null 2>&1 ||
  fail "a maintainer script runs ldconfig: $(grep -l '^[^#]*ldconfig' "$work/control"/*)"
here="$(cd "$(dirname "$0")/../.." && pwd)"
for name in velmora velmora-undo; do
  gzip -dc "$work/root/usr/share/man/man1/$name.1.gz" 2>/dev/null | cmp -s - "$here/packaging/$name.1" ||
    fail "the packaged manual page differs from packaging/$name.1"
done

# The metainfo names a desktop entry that the package holds.
if command -v appstreamcli >/dev/null; then
  appstreamcli validate-tree --no-net --strict "$work/root" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "appstreamcli validate-tree"; }
fi

# ------------------------------------------------------------------ lintian
if ! command -v lintian >/dev/null; then
  [ "$failures" -eq 0 ] || { echo "deb package: $failures check(s) failed"; exit 1; }
  echo "SKIP: lintian not found (Debian package lintian); every other check passed"
  exit 77
fi
lintian "$deb" >"$work/lintian.log" 2>&1
cat "$work/lintian.log"
if grep -q '^E:' "$work/lintian.log"; then
  fail "lintian reports errors"
fi
# The private desktop module in /usr/lib/velmora needs no ldconfig.
! grep -q 'maintscript-calls-ldconfig\|maintainer-script-empty' "$work/lintian.log" ||
  fail "lintian: $(grep -m1 'maintscript-calls-ldconfig\|maintainer-script-empty' "$work/lintian.log")"

install_verdict "deb package" "all checks passed ($(basename "$deb"))"
