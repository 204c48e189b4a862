#!/bin/sh
# Installs the build into a fresh prefix, as a person would with
# `cmake --install build --prefix ~/.local`, checks the layout, and starts the
# installed command to see that it finds its own folder (Undo.log appears
# beside the program). Then stages an install as a packager would (DESTDIR).
# Usage: layout_test.sh CMAKE BUILD_DIR
set -u
cmake="$1"
build="$2"

# shellcheck source=tests/lib/install.sh
. "$(dirname "$0")/../lib/install.sh"
app_pid=""
install_before_cleanup() { [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null; }
# Every install rewrites the build's install_manifest.txt: keep the one that
# lists the person's own install.
install_setup "$build" install_manifest.txt

# Width and height from a PNG's header, as "WxH".
png_size() {
  [ "$(od -An -c -j1 -N3 "$1" | tr -d ' ')" = PNG ] || { echo "not-a-png"; return; }
  # shellcheck disable=SC2046 # eight numbers, split on purpose
  set -- $(od -An -tu1 -j16 -N8 "$1")
  echo "$(( ($1 << 24) + ($2 << 16) + ($3 << 8) + $4 ))x$(( ($5 << 24) + ($6 << 16) + ($7 << 8) + $8 ))"
}

# check_layout ROOT MENU_MODE [BIN]: the files a prefix must hold after an
# install; MENU_MODE is the Dolphin service menu's mode there, BIN the folder
# the menu entries start the commands from (none: from the PATH).
check_layout() {
  root="$1"
  menu_mode="$2"
  bin="${3:+\"$3/}"
  end="${3:+\"}"
  for name in velmora velmora-undo; do
    program="$root/lib/velmora/$name"
    [ -f "$program" ] && [ ! -L "$program" ] && [ -x "$program" ] || fail "no program at $program"
    command="$root/bin/$name"
    if [ -L "$command" ]; then
      case "$(readlink "$command")" in
        /*) fail "bin/$name is an absolute link: $(readlink "$command")" ;;
      esac
    fi
    [ -x "$command" ] && [ "$(readlink -f "$command")" = "$(readlink -f "$program")" ] ||
      fail "bin/$name does not lead to the program"
  done
  # The desktop module ("run", the file chooser) is loaded from the program's folder.
  [ -f "$root/lib/velmora/libvelmora-gio.so" ] || fail "no desktop module beside the program"
  for size in 16 24 32 48 256; do
    icon="$root/share/icons/hicolor/${size}x${size}/apps/velmora.png"
    got="$(png_size "$icon" 2>/dev/null)"
    [ "$got" = "${size}x${size}" ] || fail "$icon is ${got:-missing}"
  done
  grep -q '<svg' "$root/share/icons/hicolor/scalable/apps/velmora.svg" 2>/dev/null ||
    fail "no scalable icon"
  entry="$root/share/applications/velmora.desktop"
  for line in "Exec=${bin}velmora$end %f" "Exec=${bin}velmora-undo$end --notify" 'Icon=velmora' 'Terminal=false'; do
    grep -qxF "$line" "$entry" 2>/dev/null || fail "desktop entry lacks $line"
  done
  if command -v desktop-file-validate >/dev/null; then
    out="$(desktop-file-validate "$entry" 2>&1)"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
  fi
  menu="$root/share/kio/servicemenus/velmora.desktop"
  got="$(stat -c %a "$menu" 2>/dev/null)"
  [ "$got" = "$menu_mode" ] || fail "Dolphin service menu mode is ${got:-missing}, expected $menu_mode"
  grep -qxF "Exec=${bin}velmora$end %f" "$menu" 2>/dev/null || fail "Dolphin service menu lacks Exec=${bin}velmora$end %f"
  for name in velmora velmora-undo; do
    page="$root/share/man/man1/$name.1.gz"
    gzip -dc "$page" 2>/dev/null | grep -q '^\.TH ' || fail "no manual page at $page"
  done
  grep -q '<launchable type="desktop-id">velmora.desktop</launchable>' \
    "$root/share/metainfo/io.github.velmora.Velmora.metainfo.xml" 2>/dev/null ||
    fail "no AppStream metainfo naming velmora.desktop"
  # Debian's copyright and changelog belong to the package alone.
  [ ! -e "$root/share/doc/velmora" ] || fail "a plain install put share/doc/velmora in place"
}

# 1. An install into a prefix of one's own.
prefix="$work/home/.local"
"$cmake" --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install failed"; }
# Under a home folder KIO wants the service menu executable; ~/.local/bin is
# on the session's PATH only from the next login.
check_layout "$prefix" 755 "$prefix/bin"
if command -v update-desktop-database >/dev/null; then
  # The cache was refreshed, and Velmora claims no file type in it.
  [ -f "$prefix/share/applications/mimeinfo.cache" ] || fail "the MIME cache was not refreshed"
  ! grep -q 'velmora' "$prefix/share/applications/mimeinfo.cache" ||
    fail "the MIME cache offers velmora for a file type"
fi

# 2. The installed command, started as the desktop entry would start it.
mkdir -p "$work/data"
printf 'x' >"$work/data/IMG 0001.jpg"
log="$prefix/lib/velmora/Undo.log"
# The entry names the command by its full path: the session's PATH may lack it.
QT_QPA_PLATFORM=offscreen "$prefix/bin/velmora" "$work/data/IMG 0001.jpg" >"$work/app.log" 2>&1 &
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
# Root owns a system install; there the service menu is a plain data file.
check_layout "$stage/usr" 644
[ ! -e "$stage/usr/share/applications/mimeinfo.cache" ] ||
  fail "a staged install wrote the MIME cache"

# 4. The service menu's mode follows the prefix: root's system folders get a
# data file, any other prefix the executable bit.
# prefix | mode
while read -r where mode; do
  [ -n "$where" ] || continue
  rm -rf "$stage"
  DESTDIR="$stage" "$cmake" --install "$build" --prefix "$where" >"$work/stage.log" 2>&1 ||
    { cat "$work/stage.log"; fail "staged install to $where failed"; continue; }
  got="$(stat -c %a "$stage$where/share/kio/servicemenus/velmora.desktop" 2>/dev/null)"
  [ "$got" = "$mode" ] || fail "prefix $where: service menu mode ${got:-missing}, expected $mode"
done <<EOF
/usr/local 644
/usr/ 644
/usr/local/ 644
/opt/velmora 755
/usr/local2 755
/home/someone/.local 755
EOF

install_verdict "install layout" "all checks passed"
