#!/usr/bin/env bash
# Renames a file with the real program under Xvfb, then gives it its old name
# back with velmora-undo from the same program folder: the file, the log's
# two lines, the list, and the menu entry's "Undo last rename" action with
# its notification.
# Usage: undo_test.sh PATH/TO/velmora PATH/TO/velmora-undo PATH/TO/velmora.desktop
set -uo pipefail
exe="$1"
undo_exe="$2"
desktop_entry="$3"
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

# Both programs in one folder of their own: they share a log nobody else sees.
mkdir -p "$work/prog" "$work/data" "$work/fakebin"
cp "$exe" "$work/prog/velmora"
cp "$undo_exe" "$work/prog/velmora-undo"
log="$work/prog/Undo.log"
export QT_QPA_PLATFORM=xcb

Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Runs velmora-undo with the given arguments; its status, stdout and stderr
# land in $status, $work/out and $work/err.
status=0
run_undo() {
  "$work/prog/velmora-undo" "$@" >"$work/out" 2>"$work/err"
  status=$?
}

# Compares the whole log with the lines given, each ending in CR LF.
expect_log() {
  printf '%s\r\n' "$@" >"$work/expected"
  cmp -s "$log" "$work/expected" || fail "undo log is: $(od -c "$log" | head -20)"
}

# 1. A rename in the window, as a person makes it.
printf 'photo' >"$work/data/IMG_0001.jpg"
(cd "$work" && exec "$work/prog/velmora" "$work/data/IMG_0001.jpg" >"$work/app.log" 2>&1) &
app_pid=$!
active=""
for _ in $(seq 100); do
  if [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = Velmora ] &&
     [ "$(xdotool getwindowfocus getwindowpid 2>/dev/null)" = "$app_pid" ]; then
    active=yes
    break
  fi
  sleep 0.1
done
if [ -z "$active" ]; then
  fail "the window did not become active"
  cat "$work/app.log" "$work/xvfb.log"
  exit 1
fi
xdotool type --delay 15 'Holiday at sea'
xdotool key Return
for _ in $(seq 100); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "velmora did not end"
wait "$app_pid" 2>/dev/null
app_pid=""
new="$work/data/Holiday at sea.jpg"
old="$work/data/IMG_0001.jpg"
[ "$(cat "$new" 2>/dev/null)" = photo ] || fail "not renamed: $(ls "$work/data")"
expect_log "Ren \"$new\" \"IMG_0001.jpg\""

# 2. velmora-undo gives the old name back and logs the undo as a line of its own.
run_undo
[ "$status" = 0 ] || fail "velmora-undo exited $status: $(cat "$work/err")"
[ "$(cat "$old" 2>/dev/null)" = photo ] && [ ! -e "$new" ] || fail "old name not back: $(ls "$work/data")"
expect_log "Ren \"$new\" \"IMG_0001.jpg\"" "Ren \"$old\" \"Holiday at sea.jpg\""
grep -q "^velmora-undo: Renamed \"$new\" back to \"IMG_0001.jpg\"\.$" "$work/err" ||
  fail "message: $(cat "$work/err")"
[ -s "$work/out" ] && fail "an undo wrote to stdout: $(cat "$work/out")"

# 3. The list: newest first, the first rename marked undone; nothing on stderr.
run_undo --list
printf '%s\n' "1  \"$old\" was \"Holiday at sea.jpg\"" \
              "2  \"$new\" was \"IMG_0001.jpg\"  (undone by 1)" >"$work/expected"
[ "$status" = 0 ] && cmp -s "$work/out" "$work/expected" && [ ! -s "$work/err" ] ||
  fail "--list exited $status: $(cat "$work/out" "$work/err")"

# 4. An entry that is undone already is refused, and nothing changes.
run_undo 2
[ "$status" = 1 ] && grep -q "undone already" "$work/err" ||
  fail "undoing an undone entry exited $status: $(cat "$work/err")"
[ -e "$old" ] || fail "a refused undo moved the file"

# 5. The menu entry's action, run as the desktop runs it, undoes the undo and
#    says so in a notification.
cat >"$work/fakebin/notify-send" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >"$work/notified"
EOF
chmod +x "$work/fakebin/notify-send"
action="$(sed -n '/^\[Desktop Action undo-last\]$/,/^\[/s/^Exec=//p' "$desktop_entry")"
[ -n "$action" ] || fail "no undo-last action in $desktop_entry"
# shellcheck disable=SC2086 # the Exec line is split into words, as the desktop does
PATH="$work/prog:$work/fakebin:$PATH" $action 2>"$work/err"
status=$?
[ "$status" = 0 ] && [ -e "$new" ] && [ ! -e "$old" ] ||
  fail "the action ($action) exited $status: $(cat "$work/err"); $(ls "$work/data")"
grep -qx "Rename undone" "$work/notified" 2>/dev/null &&
  grep -qF "Renamed \"$old\" back to \"Holiday at sea.jpg\"." "$work/notified" ||
  fail "notification: $(cat "$work/notified" 2>/dev/null)"
[ "$(wc -l <"$log")" = 3 ] || fail "the action's undo was not logged"

if [ "$failures" -eq 0 ]; then
  echo "undo end to end: all checks passed"
  exit 0
fi
echo "undo end to end: $failures check(s) failed"
exit 1
