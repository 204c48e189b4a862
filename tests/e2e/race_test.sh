#!/usr/bin/env bash
# Keys typed faster than the window closes: Esc then Enter must rename
# nothing, and Enter twice must rename once with no message. The keys are
# sent with no delay, many rounds over, since the race is won only sometimes.
# Usage: race_test.sh PATH/TO/velmora [ROUNDS]
set -uo pipefail
. "$(dirname "$0")/../lib/xvfb.sh"
require_tools "(install xvfb, xdotool, x11-utils)" Xvfb xdotool xdpyinfo
rounds="${2:-30}"
make_work
install_program "$1"
start_xvfb
export QT_QPA_PLATFORM=xcb

begin "Esc then Enter renames nothing ($rounds rounds)"
: >"$log"
for ((i = 1; i <= rounds; i++)); do
  printf 'a' >"$work/data/a.txt"
  open_window "$work/data/a.txt" || break
  xdotool type --delay 0 'new'
  xdotool key --delay 0 Escape Return
  finish "round $i" || break
  if [ ! -f "$work/data/a.txt" ] || [ -e "$work/data/new.txt" ]; then
    fail "round $i: renamed after Esc: $(ls "$work/data")"
    break
  fi
  [ -s "$log" ] && { fail "round $i: Esc wrote to the undo log"; break; }
done
rm -f "$work/data/"*

begin "Enter twice renames once and says nothing ($rounds rounds)"
for ((i = 1; i <= rounds; i++)); do
  : >"$log"
  printf 'b' >"$work/data/b.txt"
  open_window "$work/data/b.txt" || break
  xdotool type --delay 0 'once'
  xdotool key --delay 0 Return Return
  # A message box would keep the program running: finish fails then.
  finish "round $i" || break
  if [ "$(cat "$work/data/once.txt" 2>/dev/null)" != b ] || [ -e "$work/data/b.txt" ]; then
    fail "round $i: not renamed once: $(ls "$work/data")"
    break
  fi
  expect_log "Ren \"$work/data/once.txt\" \"b.txt\""
  [ "$case_failed" -eq 0 ] || break
  rm -f "$work/data/once.txt"
done

end_cases "race"
