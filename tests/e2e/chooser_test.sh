#!/usr/bin/env bash
# Starts the built program with no file under Xvfb, as a bare `velmora` or
# the menu entry does, and drives the file chooser it shows with real key
# events: a full path typed into the name field and Enter open the rename
# window on that file; Esc ends the program with nothing written. There is no
# session bus (or a dead one), so the chooser is Qt's own dialog, and it must
# come up without waiting for a portal.
# Usage: chooser_test.sh PATH/TO/velmora
set -uo pipefail
exe="$1"
for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "missing $tool (install xvfb, xdotool, x11-utils)"; exit 1; }
done

work="$(mktemp -d)"
xvfb_pid=""
app_pid=""
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# An installed layout of its own: the program, its desktop module, its log.
mkdir -p "$work/prog" "$work/data" "$work/runtime"
chmod 700 "$work/runtime"
cp "$exe" "$work/prog/velmora"
module="$(dirname "$exe")/libvelmora-gio.so"
[ -f "$module" ] && cp "$module" "$work/prog/"
log="$work/prog/Undo.log"

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
# No desktop session: no bus socket in the runtime folder.
export XDG_RUNTIME_DIR="$work/runtime"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Waits until the focused window is the program's and has the title $1;
# gives up after five seconds.
await_focus() {
  for _ in $(seq 50); do
    if [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "$1" ] &&
       [ "$(xdotool getwindowfocus getwindowpid 2>/dev/null)" = "$app_pid" ]; then
      return 0
    fi
    sleep 0.1
  done
  fail "no focused window titled '$1' (focus: '$(xdotool getwindowfocus getwindowname 2>/dev/null)')"
  sed 's/^/  program: /' "$work/app.log"
  return 1
}

# Waits for the program to end; its exit code is in $status.
status=""
finish() {
  for _ in $(seq 100); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid"
      status=$?
      app_pid=""
      return 0
    fi
    sleep 0.1
  done
  fail "program did not end"
  kill "$app_pid" 2>/dev/null
  app_pid=""
  return 1
}

# Starts the program in the data folder with the arguments given.
start() {
  (cd "$work/data" && exec "$work/prog/velmora" "$@" >"$work/app.log" 2>&1) &
  app_pid=$!
}

dialog="Choose the file to rename"

# 1. No file: the chooser; a full path typed into its name field and Enter
#    open the window on that file, which then renames as usual.
printf 'one' >"$work/data/IMG 0001.jpg"
start
if await_focus "$dialog"; then
  xdotool type --delay 15 "$work/data/IMG 0001.jpg"
  xdotool key Return
  if await_focus Velmora; then
    xdotool type --delay 15 'Beach'
    xdotool key Return
    finish
    [ "$(cat "$work/data/Beach.jpg" 2>/dev/null)" = one ] || fail "not renamed: $(ls "$work/data")"
    printf 'Ren "%s" "%s"\r\n' "$work/data/Beach.jpg" "IMG 0001.jpg" >"$work/expected"
    cmp -s "$log" "$work/expected" || fail "undo log: $(od -c "$log" | head -5)"
  fi
fi
rm -f "$log"

# 2. Esc in the chooser: the program ends at once with code 0; no undo log
#    is created and no file changes.
start
if await_focus "$dialog"; then
  xdotool key Escape
  finish
  [ "$status" = 0 ] || fail "cancel ended with code $status"
  [ ! -e "$log" ] || fail "cancel created the undo log"
  [ "$(ls "$work/data")" = Beach.jpg ] || fail "cancel changed files: $(ls "$work/data")"
fi

# 3. "-st" alone is the switch, so it asks too; a dead session bus does not
#    hold the dialog up.
started=$(date +%s%N)
DBUS_SESSION_BUS_ADDRESS="unix:path=$work/runtime/no-bus" start -st
if await_focus "$dialog"; then
  waited=$(( ($(date +%s%N) - started) / 1000000 ))
  [ "$waited" -lt 3000 ] || fail "the dialog took $waited ms to appear"
  xdotool key Escape
  finish
  [ "$status" = 0 ] || fail "cancel ended with code $status"
  [ ! -e "$log" ] || fail "cancel created the undo log"
fi

total=3
if [ "$failures" -eq 0 ]; then
  echo "$total passed, 0 failed"
  exit 0
fi
echo "$((total - failures)) passed, $failures failed"
exit 1
