# shellcheck shell=bash
# What the scripts that drive the real program under an X server share: the
# tools they need, a work folder that goes away with every process they
# started, an Xvfb of their own, waiting for the program's window and for its
# end, the undo log compared as bytes, and cases counted once each.
# Sourced by bash scripts: . "$(dirname "$0")/../lib/xvfb.sh"
# It only defines; nothing runs until a script calls it.

# Ends the script when a tool is missing: "missing TOOL HINT" and exit 1, or
# with --skip "SKIP: missing TOOL HINT" and exit 77, CTest's "skipped".
# Usage: require_tools [--skip] HINT TOOL...
require_tools() {
  local code=1 prefix="" hint tool
  if [ "$1" = --skip ]; then
    code=77 prefix="SKIP: "
    shift
  fi
  hint="$1"
  shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "${prefix}missing $tool${hint:+ $hint}"; exit "$code"; }
  done
}

# Runs the whole script again in a session bus of its own, which ends with
# it; the variable named $1 marks the second run. Usage: in_own_session_bus VAR "$@"
in_own_session_bus() {
  local mark="$1"
  shift
  [ -n "${!mark:-}" ] && return 0
  export "$mark"=1
  exec dbus-run-session -- "$0" "$@"
}

# The program ($app_pid) and the processes registered with track, ended on
# exit newest first.
app_pid=""
pids=()
track() { pids+=("$1"); }
# Ends the newest registered process, once a script is done with it.
stop_last() {
  kill "${pids[-1]}" && wait "${pids[-1]}" 2>/dev/null
  unset 'pids[-1]'
}
cleanup() {
  local i
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for i in "${pids[@]}"; do wait "$i" 2>/dev/null; done
  rm -rf "$work"
}
# A fresh $work folder, removed on exit after the processes are ended.
make_work() {
  work="$(mktemp -d)"
  trap cleanup EXIT
}

# The program keeps Undo.log in its own folder: gives it one of its own,
# $work/prog with a copy of the program $1 (and with --desktop-module the
# module beside it that talks to the desktop and its portal, where built),
# and $work/data for the files. Sets $log.
install_program() {
  mkdir -p "$work/prog" "$work/data"
  cp "$1" "$work/prog/velmora"
  if [ "${2:-}" = --desktop-module ] && [ -f "$(dirname "$1")/libvelmora-gio.so" ]; then
    cp "$(dirname "$1")/libvelmora-gio.so" "$work/prog/"
  fi
  log="$work/prog/Undo.log"
}

# Starts an Xvfb of its own with a screen of $1 (1024x768x24 by default) and
# exports DISPLAY once it answers; its output is in $work/xvfb.log.
# Xvfb picks a free display itself and writes its number once it is ready,
# which leaves no race with another server starting or shutting down.
# -noreset: by default the server resets when its last client leaves, and a
# program started during the reset cannot connect.
start_xvfb() {
  Xvfb -displayfd 3 -noreset -screen 0 "${1:-1024x768x24}" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  track $!
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  DISPLAY=":$(head -n1 "$work/display")"
  export DISPLAY
  xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
}

# The desktop portal's stand-in, velmora_test_portal: $VELMORA_TEST_PORTAL,
# by default the one beside the program $1. Sets $portal.
require_portal() {
  portal="${VELMORA_TEST_PORTAL:-$(dirname "$1")/velmora_test_portal}"
  [ -x "$portal" ] || { echo "FAIL: no portal stand-in at $portal (build the target velmora_test_portal)"; exit 1; }
}
# Starts the portal stand-in, which chooses the file $1 when asked; false
# when it is not ready within five seconds. Its output is in $work/portal.log.
start_portal() {
  "$portal" "$1" >"$work/portal.log" 2>&1 &
  track $!
  for _ in $(seq 50); do grep -q '^ready' "$work/portal.log" && return 0; sleep 0.1; done
  return 1
}

# Starts the program in the folder $1 with the arguments after it, in the
# background ($app_pid); its output is in $work/app.log.
launch() {
  local dir="$1"
  shift
  (cd "$dir" && exec "$work/prog/velmora" "$@" >"$work/app.log" 2>&1) &
  app_pid=$!
}

# Waits until the focused window belongs to process $1 and is titled $2;
# false after ten seconds.
wait_focus() {
  for _ in $(seq 100); do
    if [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = "$2" ] &&
       [ "$(xdotool getwindowfocus getwindowpid 2>/dev/null)" = "$1" ]; then
      return 0
    fi
    kill -0 "$1" 2>/dev/null || return 1  # a program that has ended shows no window
    sleep 0.1
  done
  return 1
}

# Starts the program on $1 in the folder $2 ($work by default) and waits until
# its window has the keyboard focus; otherwise fails, with what the program
# and the server said.
open_window() {
  launch "${2:-$work}" "$1"
  wait_focus "$app_pid" Velmora && return 0
  fail "window did not become active for $1"
  sed 's/^/  program: /' "$work/app.log"
  sed 's/^/  xvfb: /' "$work/xvfb.log"
  kill "$app_pid" 2>/dev/null
  return 1
}

# Fails the case ($2, when given, says after what) when the output file $1
# holds a report of AddressSanitizer, LeakSanitizer or UBSan, which a
# sanitized build prints without always changing its exit code.
no_sanitizer_report() {
  local found
  found="$(grep -m5 -e 'ERROR: AddressSanitizer' -e 'ERROR: LeakSanitizer' -e 'runtime error:' "$1" 2>/dev/null)" ||
    return 0
  fail "${2:+$2: }sanitizer report in $(basename "$1"): $found"
  return 1
}

# Waits for the program to end (the window unloads after a rename or Esc);
# its exit code is then in $status. A code other than 0, or a sanitizer
# report in $work/app.log, fails the case; with --any-exit first, the code is
# the caller's to check. One that is still running after ten seconds fails
# the case ($1, when given, says after what) and is ended.
# Usage: finish [--any-exit] [WHAT]
status=""
# shellcheck disable=SC2034 # $status is the scripts' to read
finish() {
  local any_exit=""
  if [ "${1:-}" = --any-exit ]; then
    any_exit=1
    shift
  fi
  for _ in $(seq 100); do
    if ! kill -0 "$app_pid" 2>/dev/null; then
      wait "$app_pid"
      status=$?
      app_pid=""
      local ok=0
      if [ -z "$any_exit" ] && [ "$status" != 0 ]; then
        fail "${1:+$1: }the program ended with code $status"
        tail -n 20 "$work/app.log" | sed 's/^/  program: /'
        ok=1
      fi
      no_sanitizer_report "$work/app.log" "${1:-}" || ok=1
      return "$ok"
    fi
    sleep 0.1
  done
  fail "${1:+$1: }the program did not end"
  kill "$app_pid" 2>/dev/null
  app_pid=""
  status=""
  return 1
}

# Whether the undo log $log ends with the bytes $1. Compared as bytes: $(...)
# would drop the CR LF being checked.
expect_log_tail() {
  printf '%s' "$1" >"$work/expected"
  if ! tail -c "$(stat -c %s "$work/expected")" "$log" | cmp -s - "$work/expected"; then
    fail "undo log ends with: $(tail -c 200 "$log" | od -c | head -5)"
  fi
}
# Whether the whole undo log $log is the lines given, each ending in CR LF.
expect_log() {
  printf '%s\r\n' "$@" >"$work/expected"
  cmp -s "$log" "$work/expected" || fail "undo log is: $(od -c "$log" | head -20)"
}

# Cases are counted once each, however many of their checks fail. A check
# that fails outside any case fails the script too.
total=0
failed=0
stray=0
case_failed=0
case_name=""
begin() { end_case; total=$((total + 1)); case_name="$1"; }
end_case() {
  if [ "$case_failed" -ne 0 ]; then failed=$((failed + 1)); fi
  case_failed=0
  case_name=""
}
fail() {
  if [ -n "$case_name" ]; then
    echo "FAIL [$case_name]: $*"
    case_failed=1
  else
    echo "FAIL: $*"
    stray=$((stray + 1))
  fi
}
# Closes the last case and says how many passed ($1, when given, leads the
# line); true only when nothing failed.
end_cases() {
  end_case
  echo "${1:+$1: }$((total - failed)) passed, $failed failed (of $total cases)"
  [ "$stray" -eq 0 ] || echo "${1:+$1: }$stray check(s) failed outside the cases"
  [ "$failed" -eq 0 ] && [ "$stray" -eq 0 ]
}

# ------------------------------------------------------------------ Wine
# Windows programs under Wine's X11 driver, on the Xvfb above. Wine's prefix
# is $VELMORA_WINEPREFIX (the build's own, made once) or one in $work; its
# server keeps running while the script runs, so that each program starts
# quickly, and is ended with it.
start_wine() {
  export WINEPREFIX="${VELMORA_WINEPREFIX:-$work/wine}" WINEDEBUG=-all WINEARCH=win64
  # No Mono or Gecko installer prompts when the prefix is first made; an
  # English UTF-8 locale gives Windows-1252 as the ANSI code page.
  export WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    wine wineboot --init >/dev/null 2>&1 || true
  fi
  wineserver -p
  wine_started=1
}
wine_started=""
stop_wine() { [ -n "$wine_started" ] && wineserver -k 2>/dev/null; wine_started=""; }
# Ends every Windows program still running (a window, Notepad) and starts a
# fresh server for the next.
restart_wine() { wineserver -k 2>/dev/null; wineserver -p; }
# The Windows path of the Unix path $1 (Z: is Wine's root folder).
windows_path() { winepath -w "$1" 2>/dev/null; }

# Starts the Windows program $velmora_exe (by default $work/prog/velmora.exe)
# in the folder $1 with the arguments after it, in the background ($app_pid);
# output in $work/app.log.
launch_windows() {
  local dir="$1"
  shift
  (cd "$dir" && exec wine "${velmora_exe:-$work/prog/velmora.exe}" "$@" >"$work/app.log" 2>&1) &
  app_pid=$!
}

# The visible window titled $1, once there is one (ten seconds at most).
wait_window() {
  local id
  for _ in $(seq 100); do
    id="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Clicks at the point ($2, $3) of the window $1's client area.
click_at() {
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

# Counts the X server's bells into $work/bells, for a beep no one hears.
start_bell_watch() {
  "$1" >"$work/bells" 2>&1 &
  track $!
  for _ in $(seq 50); do grep -q '^ready' "$work/bells" && return 0; sleep 0.1; done
  return 1
}
bells() { grep -c '^bell' "$work/bells"; }
