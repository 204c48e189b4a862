#!/usr/bin/env bash
# Starts the built program with no file under Xvfb, as a bare `velmora` or
# the menu entry does, and drives the file chooser it shows with real key
# events: a full path typed into the name field and Enter open the rename
# window on that file; Esc ends the program with nothing written. There is no
# session bus (or a dead one), so the chooser is Qt's own dialog, and it must
# come up without waiting for a portal. Nothing is written to the home folder
# (Qt's dialog would keep the folders visited in QtProject.conf).
# Usage: chooser_test.sh PATH/TO/velmora
set -uo pipefail
. "$(dirname "$0")/../lib/xvfb.sh"
require_tools "(install xvfb, xdotool, x11-utils)" Xvfb xdotool xdpyinfo
make_work
# An installed layout of its own: the program, its desktop module, its log.
install_program "$1" --desktop-module
mkdir -p "$work/runtime"
chmod 700 "$work/runtime"
start_xvfb
# No desktop session: no bus socket in the runtime folder. The program draws
# an X window whatever the caller exports (CI often sets offscreen).
export XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=xcb
# A home of its own, where the program must write no settings.
mkdir -p "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
# Fails the case when anything has been written under the home folder.
home_untouched() {
  local written
  written="$(find "$work/home" -mindepth 1 | head -n 5)"
  [ -z "$written" ] || fail "settings written: $written"
}
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY

# Waits until the focused window is the program's and has the title $1.
await_focus() {
  wait_focus "$app_pid" "$1" && return 0
  fail "no focused window titled '$1' (focus: '$(xdotool getwindowfocus getwindowname 2>/dev/null)')"
  sed 's/^/  program: /' "$work/app.log"
  return 1
}

dialog="Choose the file to rename"

# 1. No file: the chooser; a full path typed into its name field and Enter
#    open the window on that file, which then renames as usual.
begin "a path typed into the chooser"
printf 'one' >"$work/data/IMG 0001.jpg"
launch "$work/data"
if await_focus "$dialog"; then
  xdotool type --delay 15 "$work/data/IMG 0001.jpg"
  xdotool key Return
  if await_focus Velmora; then
    xdotool type --delay 15 'Beach'
    xdotool key Return
    finish
    [ "$(cat "$work/data/Beach.jpg" 2>/dev/null)" = one ] || fail "not renamed: $(ls "$work/data")"
    expect_log "Ren \"$work/data/Beach.jpg\" \"IMG 0001.jpg\""
    home_untouched
  fi
fi
rm -f "$log"

# 2. Esc in the chooser: the program ends at once with code 0; no undo log
#    is created and no file changes.
begin "Esc in the chooser"
launch "$work/data"
if await_focus "$dialog"; then
  xdotool key Escape
  finish
  [ "$status" = 0 ] || fail "cancel ended with code $status"
  [ ! -e "$log" ] || fail "cancel created the undo log"
  [ "$(ls "$work/data")" = Beach.jpg ] || fail "cancel changed files: $(ls "$work/data")"
  home_untouched
fi

# 3. "-st" alone is the switch, so it asks too; a dead session bus does not
#    hold the dialog up.
begin "-st alone asks, without waiting for a dead bus"
started=$(date +%s%N)
DBUS_SESSION_BUS_ADDRESS="unix:path=$work/runtime/no-bus" launch "$work/data" -st
if await_focus "$dialog"; then
  waited=$(( ($(date +%s%N) - started) / 1000000 ))
  [ "$waited" -lt 3000 ] || fail "the dialog took $waited ms to appear"
  xdotool key Escape
  finish
  [ "$status" = 0 ] || fail "cancel ended with code $status"
  [ ! -e "$log" ] || fail "cancel created the undo log"
fi

end_cases
