#!/usr/bin/env bash
# The program on Wayland compositors, read through the protocol log
# (WAYLAND_DEBUG) and driven with keys through a compositor nested in Xvfb.
#   weston, headless (it never activates a window): the window is ready without
#     activation (its title is set), Qt draws no frame of its own (the window
#     geometry is the bare 812 x 348, so no maximise button), and "-st" alone
#     takes its file from the desktop's chooser (a stand-in for the portal's,
#     velmora_test_portal) and asks for the minimise again once the window has
#     its first frame; with QT_QPA_PLATFORM=wayland set by the user there is
#     still no frame of Qt's. The program must still be running when each check ends.
#   weston in Xvfb: renames end with exit code 0 and never hang; so does Esc,
#     also with the base name field empty.
#   mutter in Xvfb (GNOME's compositor; skipped without it): on a GNOME
#     session the program runs on XWayland, framed by mutter without maximise,
#     and its renames end with exit code 0 and never hang, as on Wayland itself.
# Usage: wayland_test.sh PATH/TO/velmora   (VELMORA_WAYLAND_RUNS renames per
# compositor, 5 by default; the portal stand-in is $VELMORA_TEST_PORTAL, by
# default the one beside the program). Exits 77 (skipped) without weston,
# D-Bus or Qt's Wayland plugin (packages weston, dbus-daemon, qt6-wayland;
# mutter and xwayland for the last part).
set -uo pipefail
. "$(dirname "$0")/../lib/xvfb.sh"
runs="${VELMORA_WAYLAND_RUNS:-5}"
require_tools --skip "" weston Xvfb xdotool xdpyinfo xprop dbus-run-session
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
  { echo "SKIP: missing Qt's Wayland plugin (qt6-wayland)"; exit 77; }
require_portal "$1"
# The portal stand-in and mutter need a session bus; the test runs in one of
# its own, which ends with it.
in_own_session_bus VELMORA_WAYLAND_TEST_BUS "$@"

make_work
export XDG_RUNTIME_DIR="$work/run" NO_AT_BRIDGE=1
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
install_program "$1" --desktop-module
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP XDG_SESSION_TYPE DESKTOP_STARTUP_ID

# Waits for the Wayland socket $1.
wait_socket() {
  for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/$1" ] && return 0; sleep 0.1; done
  return 1
}
# Runs the program for $1 seconds with the protocol log in $2, in the data
# folder. Nothing ends it before then, so anything but timeout's 124 (a crash
# shows as 128 + its signal) fails the check named $3.
logged_run() {
  local seconds="$1" log="$2" what="$3"
  shift 3
  (cd "$work/data" && WAYLAND_DEBUG=1 exec timeout "$seconds" env "$@" >"$log" 2>&1)
  local code=$?
  no_sanitizer_report "$log" "$what"
  if [ "$code" -gt 128 ]; then
    fail "$what: the program died of signal $((code - 128))"
  elif [ "$code" != 124 ]; then
    fail "$what: the program ended with code $code before its time was up"
  fi
}

# ---------------------------------------------------------------- weston, headless
begin "weston, headless: ready without activation, no frame of Qt's"
weston --backend=headless-backend.so --socket=velmora-headless --idle-time=0 >"$work/weston-headless.log" 2>&1 &
track $!
if wait_socket velmora-headless; then
  # Headless weston offers no seat at all, and there Qt 6.4 crashes drawing
  # the text cursor in an empty focused field (it asks the missing input
  # device for the input direction). No desktop session lacks a seat, and on
  # weston in Xvfb below an empty field is fine; the files here have a base
  # name.
  printf 'one' >"$work/data/IMG_0001.jpg"
  logged_run 3 "$work/ready.log" "weston: ready" WAYLAND_DISPLAY=velmora-headless "$work/prog/velmora" "$work/data/IMG_0001.jpg"
  grep -q 'set_title("Velmora")' "$work/ready.log" || fail "weston: the window is not ready without activation"
  grep -q 'set_window_geometry(0, 0, 812, 348)' "$work/ready.log" ||
    fail "weston: Qt drew a frame: $(grep -m1 set_window_geometry "$work/ready.log")"

  # Wayland forced by the user: still no frame of Qt's, whose maximise the
  # fixed-size window must never offer.
  begin "weston, headless: QT_QPA_PLATFORM=wayland, no frame of Qt's"
  logged_run 3 "$work/forced.log" "weston: forced Wayland" WAYLAND_DISPLAY=velmora-headless QT_QPA_PLATFORM=wayland \
    "$work/prog/velmora" "$work/data/IMG_0001.jpg"
  grep -q 'set_window_geometry(0, 0, 812, 348)' "$work/forced.log" ||
    fail "weston, forced Wayland: Qt drew a frame: $(grep -m1 set_window_geometry "$work/forced.log")"
  ! grep -q 'set_maximized()' "$work/forced.log" || fail "weston, forced Wayland: the window asked to be maximised"

  # "-st" alone: the file comes from the desktop's chooser, with no dialog of
  # Qt's; the window asks to be minimised.
  begin "weston, headless: -st"
  printf 'two' >"$work/data/IMG_0002.jpg"
  start_portal "$work/data/IMG_0002.jpg" || fail "weston: the portal stand-in did not start: $(cat "$work/portal.log")"
  logged_run 3 "$work/st.log" "weston: -st" WAYLAND_DISPLAY=velmora-headless "$work/prog/velmora" -st
  [ "$(grep -c '^OpenFile Choose the file to rename$' "$work/portal.log")" = 1 ] ||
    fail "weston: -st did not ask the chooser once: $(cat "$work/portal.log")"
  titles="$(grep -o 'set_title("[^"]*")' "$work/st.log" | sort -u | tr '\n' ' ')"
  [ "$titles" = 'set_title("Velmora") ' ] || fail "weston: -st showed other windows than the rename window: $titles"
  # weston drops a minimise that comes before the window's first frame.
  after_first_frame="$(sed -n '/wl_surface@[0-9]*\.attach(/,$p' "$work/st.log")"
  grep -q 'set_minimized()' <<<"$after_first_frame" || fail "weston: -st asked for the minimise only before the first frame"
  stop_last
else
  fail "weston (headless) did not start: $(tail -3 "$work/weston-headless.log")"
fi

# ---------------------------------------------------------------- nested in Xvfb
# The program sees only the compositor: the Xvfb display stays out of the
# environment.
start_xvfb 1280x800x24
xvfb="$DISPLAY"
unset DISPLAY

# Whether the window of the program run $1 is up: activated on Wayland, or on
# XWayland mapped (in $xwayland, with $xauthority).
activated() { grep -q 'configure(.*, array\[4\])' "$work/run.log"; }
mapped() { DISPLAY="$xwayland" XAUTHORITY="$xauthority" xdotool search --onlyvisible --pid "$1" --name '^Velmora$' >/dev/null 2>&1; }

# Renames $runs files through the program started with the environment in
# the arguments, typing into the compositor's window on Xvfb; then Esc once.
# $1 names the compositor; $2 is the test of the window being up.
renames() {
  local name="$1" ready="$2"
  shift 2
  local hangs=0 codes=0
  for i in $(seq "$runs") esc; do
    printf '%s' "$i" >"$work/data/file-$i.txt"
    (cd "$work/data" && WAYLAND_DEBUG=1 exec env "$@" "$work/prog/velmora" "$work/data/file-$i.txt" >"$work/run.log" 2>&1) &
    local pid=$!
    for _ in $(seq 100); do "$ready" "$pid" && break; sleep 0.1; done
    sleep 0.3
    DISPLAY="$xvfb" xdotool mousemove 600 400
    if [ "$i" = esc ]; then
      DISPLAY="$xvfb" xdotool key Escape
    else
      DISPLAY="$xvfb" xdotool type --delay 10 "renamed-$i"
      DISPLAY="$xvfb" xdotool key Return
    fi
    local ended=0
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || { ended=1; break; }; sleep 0.1; done
    if [ "$ended" = 0 ]; then
      hangs=$((hangs + 1))
      kill -9 "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      continue
    fi
    wait "$pid" || codes=$((codes + 1))
    no_sanitizer_report "$work/run.log" "$name, run $i"
    if [ "$i" = esc ]; then
      [ -f "$work/data/file-esc.txt" ] || fail "$name: Esc renamed the file"
    else
      [ "$(cat "$work/data/renamed-$i.txt" 2>/dev/null)" = "$i" ] || fail "$name: run $i did not rename"
    fi
  done
  [ "$hangs" = 0 ] || fail "$name: $hangs of $((runs + 1)) runs did not end"
  [ "$codes" = 0 ] || fail "$name: $codes of $((runs + 1)) runs ended with an exit code other than 0"
  echo "$name: $((runs + 1)) runs, $hangs hangs, $codes bad exit codes"
}

DISPLAY="$xvfb" weston --backend=x11-backend.so --socket=velmora-nested --width=1200 --height=700 --idle-time=0 \
  >"$work/weston-nested.log" 2>&1 &
track $!
begin "weston in Xvfb: renames and Esc end with 0"
if wait_socket velmora-nested; then
  renames weston activated WAYLAND_DISPLAY=velmora-nested
  begin "weston in Xvfb: Esc with the base name field empty"
  # A name that is all extension leaves the focused base name field empty;
  # with a seat, its text cursor is drawn without harm, and Esc ends with 0.
  printf 'five' >"$work/data/.profile"
  (cd "$work/data" && WAYLAND_DEBUG=1 exec env WAYLAND_DISPLAY=velmora-nested "$work/prog/velmora" "$work/data/.profile" >"$work/run.log" 2>&1) &
  pid=$!
  for _ in $(seq 100); do activated && break; sleep 0.1; done
  sleep 0.3
  DISPLAY="$xvfb" xdotool mousemove 600 400 key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then
    fail "weston: Esc with the base name field empty did not end the program"
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  else
    wait "$pid"
    code=$?
    [ "$code" = 0 ] || fail "weston: with the base name field empty, the program ended with code $code"
    no_sanitizer_report "$work/run.log" "weston, empty base name"
  fi
  [ "$(cat "$work/data/.profile" 2>/dev/null)" = five ] || fail "weston: Esc changed .profile: $(ls -A "$work/data")"
else
  fail "weston (in Xvfb) did not start: $(tail -3 "$work/weston-nested.log")"
fi
stop_last

# ---------------------------------------------------------------- mutter
if command -v mutter >/dev/null && command -v Xwayland >/dev/null; then
  begin "mutter: on a GNOME session, XWayland and no maximise"
  DISPLAY="$xvfb" mutter --nested --wayland --wayland-display=velmora-mutter >"$work/mutter.log" 2>&1 &
  track $!
  xwayland=""
  for _ in $(seq 100); do
    xwayland="$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/mutter.log")"
    [ -n "$xwayland" ] && wait_socket velmora-mutter && break
    sleep 0.1
  done
  if [ -n "$xwayland" ]; then
    xauthority="$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)"
    gnome=(WAYLAND_DISPLAY=velmora-mutter DISPLAY="$xwayland" XAUTHORITY="$xauthority"
      XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=wayland)
    printf 'three' >"$work/data/photo.jpg"
    (cd "$work/data" && exec env "${gnome[@]}" "$work/prog/velmora" "$work/data/photo.jpg" >"$work/gnome.log" 2>&1) &
    pid=$!
    for _ in $(seq 100); do mapped "$pid" && break; sleep 0.1; done
    window="$(DISPLAY="$xwayland" XAUTHORITY="$xauthority" xdotool search --onlyvisible --pid "$pid" --name '^Velmora$' 2>/dev/null | head -n1)"
    if [ -n "$window" ]; then
      actions="$(DISPLAY="$xwayland" XAUTHORITY="$xauthority" xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)"
      grep -q MINIMIZE <<<"$actions" && ! grep -q MAXIMIZE <<<"$actions" || fail "mutter: frame actions: $actions"
    else
      fail "mutter: on a GNOME session the window is not on XWayland: $(head -3 "$work/gnome.log")"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    no_sanitizer_report "$work/gnome.log" "mutter"
    # XWayland (the GNOME choice), then Wayland itself, where Qt's teardown hung.
    begin "mutter, XWayland: renames and Esc end with 0"
    renames "mutter, XWayland" mapped "${gnome[@]}"
    begin "mutter, Wayland: renames and Esc end with 0"
    renames "mutter, Wayland" activated WAYLAND_DISPLAY=velmora-mutter QT_QPA_PLATFORM=wayland
  else
    fail "mutter did not start: $(tail -3 "$work/mutter.log")"
  fi
else
  echo "mutter part skipped (needs mutter and xwayland)"
fi

end_cases
