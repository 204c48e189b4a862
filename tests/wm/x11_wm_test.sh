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
# Under xfwm4 with xfce4-clipman, a Copy does not delay the end past 0.5 s.
# Usage: x11_wm_test.sh PATH/TO/velmora [xfwm4|openbox|metacity]  (default xfwm4)
# The portal stand-in is $VELMORA_TEST_PORTAL, by default the one beside the
# program. Exits 77 (skipped) when a tool is missing.
set -uo pipefail
. "$(dirname "$0")/../lib/xvfb.sh"
wm="${2:-xfwm4}"
require_tools --skip "(packages: xvfb xdotool x11-utils xterm dbus $wm)" \
  Xvfb xdotool xdpyinfo xprop xev xterm dbus-run-session "$wm"
require_portal "$1"
# xfwm4 reads its settings over D-Bus, and the portal stand-in serves there:
# the whole test runs in a session bus of its own, which ends with it.
in_own_session_bus VELMORA_WM_TEST_BUS "$@"

make_work
# GTK window managers would start the accessibility bus otherwise.
export NO_AT_BRIDGE=1 XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
install_program "$1" --desktop-module
start_xvfb 1280x800x24
# The program draws an X window whatever the caller exports (CI often sets offscreen).
export QT_QPA_PLATFORM=xcb

if [ "$wm" = xfwm4 ]; then
  xfconfd="$(ls /usr/lib/*/xfce4/xfconf/xfconfd 2>/dev/null | head -n1)"
  [ -n "$xfconfd" ] || { echo "SKIP: missing xfconfd (package xfconf)"; exit 77; }
  "$xfconfd" >"$work/xfconfd.log" 2>&1 &
  track $!
  sleep 0.5
  xfwm4 --compositor=off >"$work/wm.log" 2>&1 &
else
  "$wm" >"$work/wm.log" 2>&1 &
fi
track $!
# A window manager names its check window on the root once it runs.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break; sleep 0.1; done
sleep 0.5

# Startup-notification messages go to the root window; xev prints each.
xev -root -event property >"$work/xev.log" 2>&1 &
track $!

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
wait_window_focus() {
  for _ in $(seq 50); do focused "$1" && return 0; sleep 0.1; done
  return 1
}
# Waits for the program to end after $1 and checks its exit code.
ends_with_0() { finish "$1" && { [ "$status" = 0 ] || fail "$1: exit code $status"; }; }
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
begin "a launch with startup notification"
printf 'one' >"$work/data/IMG_0001.jpg"
startup_id="velmora-test-$$_TIME1234"
if start "$work/data/IMG_0001.jpg" DESKTOP_STARTUP_ID="$startup_id"; then
  wait_window_focus "$window" || fail "the new window did not take the focus"
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
  ends_with_0 "rename"
  [ "$(cat "$work/data/Holiday.jpg" 2>/dev/null)" = one ] || fail "not renamed: $(ls "$work/data")"
fi

# 2. Esc and the close box end the program with 0 and rename nothing.
for how in Escape alt+F4; do
  begin "$how"
  printf 'two' >"$work/data/keep.txt"
  if start "$work/data/keep.txt"; then
    wait_window_focus "$window" || fail "$how: the new window did not take the focus"
    xdotool type --delay 15 'other'
    xdotool key "$how"
    ends_with_0 "$how"
    [ -f "$work/data/keep.txt" ] && [ ! -e "$work/data/other.txt" ] || fail "$how renamed: $(ls "$work/data")"
  fi
done

# 3. "-st" alone: the file comes from the desktop's chooser, and the window
#    starts minimised on it; restored, the base name is selected and focused.
begin "-st"
printf 'four' >"$work/data/IMG_0004.jpg"
start_portal "$work/data/IMG_0004.jpg" || fail "-st: the portal stand-in did not start: $(cat "$work/portal.log")"
if start -st DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS"; then
  [ "$(grep -c '^OpenFile Choose the file to rename$' "$work/portal.log")" = 1 ] ||
    fail "-st: the chooser was not asked once: $(cat "$work/portal.log")"
  for _ in $(seq 30); do has WM_STATE Iconic && break; sleep 0.1; done
  has WM_STATE Iconic || fail "-st: not minimised: $(prop WM_STATE)"
  xdotool windowactivate --sync "$window" 2>/dev/null
  wait_window_focus "$window" || fail "-st: no focus once restored"
  sleep 0.5
  has WM_STATE Normal || fail "-st: minimised again after the restore"
  xdotool type --delay 15 'restored'
  xdotool key Return
  ends_with_0 "-st"
  [ "$(cat "$work/data/restored.jpg" 2>/dev/null)" = four ] || fail "-st: not renamed: $(ls "$work/data")"
fi
stop_last

# 4. A clipboard manager (xfce4-clipman, with xfwm4's settings daemon): after
#    a Copy the program still ends within 0.5 s of the Enter, and quietly.
if [ "$wm" = xfwm4 ] && command -v xfce4-clipman >/dev/null; then
  begin "Copy, then a rename, under xfce4-clipman"
  xfce4-clipman >"$work/clipman.log" 2>&1 &
  track $!
  for _ in $(seq 50); do xprop -root >/dev/null 2>&1 && xdotool search --class xfce4-clipman >/dev/null 2>&1 && break; sleep 0.1; done
  sleep 1
  printf 'five' >"$work/data/copied.txt"
  if start "$work/data/copied.txt"; then
    wait_window_focus "$window" || fail "clipboard: the new window did not take the focus"
    xdotool key ctrl+c
    sleep 0.5
    xdotool type --delay 15 'pasted'
    before="$(date +%s%N)"
    xdotool key Return
    for _ in $(seq 300); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.01; done
    took=$((($(date +%s%N) - before) / 1000000))
    ends_with_0 "clipboard"
    [ "$took" -lt 500 ] || fail "clipboard: the program ended ${took} ms after the Enter"
    grep -q 'clipboard manager' "$work/app.log" && fail "clipboard: $(grep 'clipboard manager' "$work/app.log")"
    [ "$(cat "$work/data/pasted.txt" 2>/dev/null)" = five ] || fail "clipboard: not renamed: $(ls "$work/data")"
    echo "clipboard: ended ${took} ms after the Enter"
  fi
  stop_last
elif [ "$wm" = xfwm4 ]; then
  echo "clipboard manager part skipped (needs xfce4-clipman)"
fi

# 5. xfwm4 told not to focus new windows: the terminal the user is typing into
#    keeps the focus, and their Enter renames nothing.
if [ "$wm" = xfwm4 ]; then
  begin "a terminal keeps the focus"
  xfconf-query -c xfwm4 -p /general/focus_new -n -t bool -s false
  xterm -geometry 80x10+10+500 -e sh -c "cat > '$work/terminal.txt'" >"$work/xterm.log" 2>&1 &
  track $!
  terminal=""
  for _ in $(seq 100); do
    terminal="$(xdotool search --onlyvisible --pid "$!" 2>/dev/null | head -n1)"
    [ -n "$terminal" ] && break
    sleep 0.1
  done
  xdotool mousemove --window "$terminal" 40 40 click 1
  wait_window_focus "$terminal" || fail "the terminal did not take the focus"
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
    wait_window_focus "$window" || fail "the window did not take the focus when asked"
    xdotool key Escape
    ends_with_0 "Esc after the terminal"
  fi
fi

end_cases "$wm"
