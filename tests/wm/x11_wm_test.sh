#!/usr/bin/env bash
# The program under a real X11 window manager on Xvfb. The window is an
# ordinary top-level window (type NORMAL, not transient) of fixed size with its
# icon, carries its launch's startup ID and time, and the startup-notification
# "remove" message goes out once. It takes the focus when the window manager
# gives new windows the focus, and with xfwm4's "focus new windows" turned off
# it leaves the focus with a terminal the user is typing into. It ends with exit
# code 0 after a rename, Esc and the close box. "-st" alone asks the desktop's
# file chooser (here a stand-in for the portal's, velmora_test_portal) and
# starts minimised on the chosen file; restored, it has the base name selected.
# Usage: x11_wm_test.sh PATH/TO/velmora [xfwm4|openbox|metacity]  (default xfwm4)
# The portal stand-in is $VELMORA_TEST_PORTAL, by default the one beside the
# program. Exits 77 (skipped) when a tool is missing.
set -uo pipefail
exe="$1"
wm="${2:-xfwm4}"
portal="${VELMORA_TEST_PORTAL:-$(dirname "$exe")/velmora_test_portal}"
for tool in Xvfb xdotool xprop xev xterm dbus-run-session "$wm"; do
  command -v "$tool" >/dev/null || { echo "SKIP: missing $tool (packages: xvfb xdotool x11-utils xterm dbus $wm)"; exit 77; }
done
[ -x "$portal" ] || { echo "FAIL: no portal stand-in at $portal (build the target velmora_test_portal)"; exit 1; }
# xfwm4 reads its settings over D-Bus, and the portal stand-in serves there:
# the whole test runs in a session bus of its own, which ends with it.
if [ -z "${VELMORA_WM_TEST_BUS:-}" ]; then
  export VELMORA_WM_TEST_BUS=1
  exec dbus-run-session -- "$0" "$@"
fi

work="$(mktemp -d)"
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
# GTK window managers would start the accessibility bus otherwise.
export NO_AT_BRIDGE=1 XDG_CONFIG_HOME="$work/config"

mkdir -p "$work/prog" "$work/data" "$XDG_CONFIG_HOME"
cp "$exe" "$work/prog/velmora"
# The desktop module beside the program, which talks to the portal.
module="$(dirname "$exe")/libvelmora-gio.so"
[ -f "$module" ] && cp "$module" "$work/prog/"

Xvfb -displayfd 3 -noreset -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"

if [ "$wm" = xfwm4 ]; then
  xfconfd="$(ls /usr/lib/*/xfce4/xfconf/xfconfd 2>/dev/null | head -n1)"
  [ -n "$xfconfd" ] || { echo "SKIP: missing xfconfd (package xfconf)"; exit 77; }
  "$xfconfd" >"$work/xfconfd.log" 2>&1 &
  pids+=($!)
  sleep 0.5
  xfwm4 --compositor=off >"$work/wm.log" 2>&1 &
else
  "$wm" >"$work/wm.log" 2>&1 &
fi
pids+=($!)
# A window manager names its check window on the root once it runs.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
sleep 0.5

# Startup-notification messages go to the root window; xev prints each.
xev -root -event property >"$work/xev.log" 2>&1 &
pids+=($!)

app_pid=""
window=""
# Starts the program in the data folder on $1 (extra environment in the rest)
# and waits for its window, which the window manager manages (WM_STATE).
start() {
  local file="$1"
  shift
  # No session bus for the program unless a case gives it one: only the file
  # chooser needs it here.
  (cd "$work/data" && exec env -u DBUS_SESSION_BUS_ADDRESS "$@" "$work/prog/velmora" "$file" >"$work/app.log" 2>&1) &
  app_pid=$!
  window=""
  for _ in $(seq 100); do
    for candidate in $(xdotool search --pid "$app_pid" --name '^Velmora$' 2>/dev/null); do
      [ -n "$(xprop -id "$candidate" WM_STATE 2>/dev/null | grep 'window state')" ] && window="$candidate"
    done
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  fail "no window for $file"
  sed 's/^/  program: /' "$work/app.log"
  return 1
}
focused() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]; }
wait_focus() {
  for _ in $(seq 50); do focused "$1" && return 0; sleep 0.1; done
  return 1
}
# Waits for the program to end and checks its exit code.
finish() {
  local what="$1"
  for _ in $(seq 100); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid"
      local code=$?
      [ "$code" = 0 ] || fail "$what: exit code $code"
      return 0
    fi
    sleep 0.1
  done
  fail "$what: the program did not end"
  kill "$app_pid" 2>/dev/null
}
prop() { xprop -id "$window" "$1" 2>/dev/null; }
# Whether property $1 of the window shows the text $2 (read whole first: grep
# -q would stop reading early, and the pipe would fail).
has() {
  local value
  value="$(prop "$1")"
  grep -qF -- "$2" <<<"$value"
}

# 1. Launched with startup notification: an ordinary fixed-size window that
#    carries the launch, takes the focus, and renames.
printf 'one' >"$work/data/IMG_0001.jpg"
startup_id="velmora-test-$$_TIME1234"
if start "$work/data/IMG_0001.jpg" DESKTOP_STARTUP_ID="$startup_id"; then
  wait_focus "$window" || fail "the new window did not take the focus"
  [ "$(prop _NET_WM_WINDOW_TYPE)" = '_NET_WM_WINDOW_TYPE(ATOM) = _NET_WM_WINDOW_TYPE_NORMAL' ] ||
    fail "window type: $(prop _NET_WM_WINDOW_TYPE)"
  has WM_TRANSIENT_FOR 'not found' || fail "transient: $(prop WM_TRANSIENT_FOR)"
  hints="$(prop WM_NORMAL_HINTS)"
  { grep -q 'minimum size: 812 by 348' <<<"$hints" && grep -q 'maximum size: 812 by 348' <<<"$hints"; } ||
    fail "size hints: $hints"
  has _NET_WM_ALLOWED_ACTIONS MAXIMIZE && fail "maximise allowed: $(prop _NET_WM_ALLOWED_ACTIONS)"
  has _NET_WM_ICON 'Icon (' || fail "no icon"
  has _NET_STARTUP_ID "= \"$startup_id\"" || fail "startup ID: $(prop _NET_STARTUP_ID)"
  [ "$(prop _NET_WM_USER_TIME)" = '_NET_WM_USER_TIME(CARDINAL) = 1234' ] || fail "user time: $(prop _NET_WM_USER_TIME)"
  sleep 0.5
  removes="$(grep -c '_NET_STARTUP_INFO_BEGIN' "$work/xev.log")"
  [ "$removes" = 1 ] || fail "$removes startup-notification messages, not one"
  # The whole base name is selected: typing replaces it.
  xdotool type --delay 15 'Holiday'
  xdotool key Return
  finish "rename"
  [ "$(cat "$work/data/Holiday.jpg" 2>/dev/null)" = one ] || fail "not renamed: $(ls "$work/data")"
fi

# 2. Esc and the close box end the program with 0 and rename nothing.
for how in Escape alt+F4; do
  printf 'two' >"$work/data/keep.txt"
  if start "$work/data/keep.txt"; then
    wait_focus "$window" || fail "$how: the new window did not take the focus"
    xdotool type --delay 15 'other'
    xdotool key "$how"
    finish "$how"
    [ -f "$work/data/keep.txt" ] && [ ! -e "$work/data/other.txt" ] || fail "$how renamed: $(ls "$work/data")"
  fi
done

# 3. "-st" alone: the file comes from the desktop's chooser, and the window
#    starts minimised on it; restored, the base name is selected and focused.
printf 'four' >"$work/data/IMG_0004.jpg"
"$portal" "$work/data/IMG_0004.jpg" >"$work/portal.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do grep -q '^ready' "$work/portal.log" && break; sleep 0.1; done
grep -q '^ready' "$work/portal.log" || fail "-st: the portal stand-in did not start: $(cat "$work/portal.log")"
if start -st DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"; then
  [ "$(grep -c '^OpenFile Choose the file to rename$' "$work/portal.log")" = 1 ] ||
    fail "-st: the chooser was not asked once: $(cat "$work/portal.log")"
  for _ in $(seq 30); do has WM_STATE Iconic && break; sleep 0.1; done
  has WM_STATE Iconic || fail "-st: not minimised: $(prop WM_STATE)"
  xdotool windowactivate --sync "$window" 2>/dev/null
  wait_focus "$window" || fail "-st: no focus once restored"
  sleep 0.5
  has WM_STATE Normal || fail "-st: minimised again after the restore"
  xdotool type --delay 15 'restored'
  xdotool key Return
  finish "-st"
  [ "$(cat "$work/data/restored.jpg" 2>/dev/null)" = four ] || fail "-st: not renamed: $(ls "$work/data")"
fi
kill "${pids[-1]}" && wait "${pids[-1]}" 2>/dev/null
unset 'pids[-1]'

# 4. xfwm4 told not to focus new windows: the terminal the user is typing into
#    keeps the focus, and their Enter renames nothing.
if [ "$wm" = xfwm4 ]; then
  xfconf-query -c xfwm4 -p /general/focus_new -n -t bool -s false
  xterm -geometry 80x10+10+500 -e sh -c "cat > '$work/terminal.txt'" >"$work/xterm.log" 2>&1 &
  pids+=($!)
  terminal=""
  for _ in $(seq 100); do
    terminal="$(xdotool search --onlyvisible --pid "$!" 2>/dev/null | head -n1)"
    [ -n "$terminal" ] && break
    sleep 0.1
  done
  xdotool mousemove --window "$terminal" 40 40 click 1
  wait_focus "$terminal" || fail "the terminal did not take the focus"
  printf 'three' >"$work/data/photo.jpg"
  if start "$work/data/photo.jpg"; then
    sleep 1
    focused "$terminal" || fail "the new window took the focus from the terminal"
    xdotool type --delay 15 'echo this line was meant for the terminal'
    xdotool key Return
    sleep 0.5
    grep -q 'meant for the terminal' "$work/terminal.txt" || fail "the terminal lost the typing"
    [ "$(ls "$work/data" | grep -c photo)" = 1 ] && [ -f "$work/data/photo.jpg" ] ||
      fail "renamed while the terminal had the focus: $(ls "$work/data")"
    # The user comes to the window: it is ready, and Esc ends it.
    xdotool windowactivate --sync "$window" 2>/dev/null
    wait_focus "$window" || fail "the window did not take the focus when asked"
    xdotool key Escape
    finish "Esc after the terminal"
  fi
fi

total=5
[ "$wm" = xfwm4 ] && total=6
if [ "$failures" -eq 0 ]; then
  echo "$wm: $total passed, 0 failed"
  exit 0
fi
echo "$wm: $failures failed"
exit 1
