#!/bin/sh
# Installs the build into a fresh prefix, as a person would with
# `cmake --install build --prefix ~/.local`, checks the layout, and starts the
# installed command to see that it finds its own folder (Undo.log appears
# beside the program). Then stages an install as a packager would (DESTDIR).
# Usage: layout_test.sh CMAKE BUILD_DIR
set -u
cmake="$1"
build="$2"

work="$(mktemp -d)"
app_pid=""
# Every install rewrites the build's install_manifest.txt: keep the one that
# lists the person's own install.
manifest="$build/install_manifest.txt"
[ -f "$manifest" ] && cp -p "$manifest" "$work/manifest"
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  if [ -f "$work/manifest" ]; then cp -p "$work/manifest" "$manifest"; else rm -f "$manifest"; fi
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Width and height from a PNG's header, as "WxH".
png_size() {
  [ "$(od -An -c -j1 -N3 "$1" | tr -d ' ')" = PNG ] || { echo "not-a-png"; return; }
  # shellcheck disable=SC2046 # eight numbers, split on purpose
  set -- $(od -An -tu1 -j16 -N8 "$1")
  echo "$(( ($1 << 24) + ($2 << 16) + ($3 << 8) + $4 ))x$(( ($5 << 24) + ($6 << 16) + ($7 << 8) + $8 ))"
}

# check_layout ROOT: the files a prefix must hold after an install.
check_layout() {
  root="$1"
  program="$root/lib/velmora/velmora"
  [ -f "$program" ] && [ ! -L "$program" ] && [ -x "$program" ] || fail "no program at $program"
  # The desktop module ("run", the file chooser) is loaded from the program's folder.
  [ -f "$root/lib/velmora/libvelmora-gio.so" ] || fail "no desktop module beside the program"
  command="$root/bin/velmora"
  if [ -L "$command" ]; then
    case "$(readlink "$command")" in
      /*) fail "bin/velmora is an absolute link: $(readlink "$command")" ;;
    esac
  fi
  [ -x "$command" ] && [ "$(readlink -f "$command")" = "$(readlink -f "$program")" ] ||
    fail "bin/velmora does not lead to the program"
  for size in 16 24 32 48 256; do
    icon="$root/share/icons/hicolor/${size}x${size}/apps/velmora.png"
    got="$(png_size "$icon" 2>/dev/null)"
    [ "$got" = "${size}x${size}" ] || fail "$icon is ${got:-missing}"
  done
  grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/velmora.svg" 2>/dev/null ||
    fail "no scalable icon"
  entry="$root/share/applications/velmora.desktop"
  for line in 'Exec=velmora %f' 'Icon=velmora' 'Terminal=false'; do
    grep -qx "$line" "$entry" 2>/dev/null || fail "desktop entry lacks $line"
  done
  if command -v desktop-file-validate >/dev/null; then
    out="$(desktop-file-validate "$entry" 2>&1)"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
  fi
  [ -x "$root/share/kio/servicemenus/velmora.desktop" ] ||
    fail "no executable Dolphin service menu"
}

# 1. An install into a prefix of one's own.
prefix="$work/home/.local"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install failed"; }
check_layout "$prefix"
if command -v update-desktop-database >/dev/null; then
  grep -q '^application/octet-stream=.*velmora.desktop' \
    "$prefix/share/applications/mimeinfo.cache" 2>/dev/null ||
    fail "the MIME cache does not offer velmora for any file"
fi

# 2. The installed command, started as the desktop entry would start it.
mkdir -p "$work/data"
printf 'x' >"$work/data/IMG 0001.jpg"
log="$prefix/lib/velmora/Undo.log"
QT_QPA_PLATFORM=offscreen PATH="$prefix/bin:$PATH" \
  velmora "$work/data/IMG 0001.jpg" >"$work/app.log" 2>&1 &
app_pid=$!
i=0
while [ ! -e "$log" ] && [ $i -lt 100 ] && kill -0 "$app_pid" 2>/dev/null; do
  sleep 0.1
  i=$((i + 1))
done
if [ -e "$log" ]; then
  kill -0 "$app_pid" 2>/dev/null || fail "the installed program ended early"
else
  cat "$work/app.log"
  fail "the installed program did not open Undo.log beside itself"
fi
kill "$app_pid" 2>/dev/null
wait "$app_pid" 2>/dev/null
app_pid=""
[ -e "$work/data/IMG 0001.jpg" ] || fail "the file was touched"

# 3. A packager's staged install: same layout under DESTDIR, no cache written.
stage="$work/stage"
DESTDIR="$stage" "$cmake" --install "$build" --prefix /usr >"$work/stage.log" 2>&1 ||
  { cat "$work/stage.log"; fail "staged install failed"; }
check_layout "$stage/usr"
[ ! -e "$stage/usr/share/applications/mimeinfo.cache" ] ||
  fail "a staged install wrote the MIME cache"

if [ "$failures" -eq 0 ]; then
  echo "install layout: all checks passed"
  exit 0
fi
echo "install layout: $failures check(s) failed"
exit 1
