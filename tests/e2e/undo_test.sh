#!/usr/bin/env bash
# Renames a file with the real program under Xvfb, then gives it its old name
# back with velmora-undo from the same program folder: the file, the log's
# two lines, the list, and the menu entry's "Undo last rename" action with
# its notification.
# Usage: undo_test.sh PATH/TO/velmora PATH/TO/velmora-undo PATH/TO/velmora.desktop
set -uo pipefail
. "$(dirname "$0")/../lib/xvfb.sh"
undo_exe="$2"
desktop_entry="$3"
require_tools "(install xvfb, xdotool, x11-utils)" Xvfb xdotool xdpyinfo
make_work
# Both programs in one folder of their own: they share a log nobody else sees.
install_program "$1"
cp "$undo_exe" "$work/prog/velmora-undo"
mkdir -p "$work/fakebin"
export QT_QPA_PLATFORM=xcb
start_xvfb

# Runs velmora-undo with the given arguments; its status, stdout and stderr
# land in $status, $work/out and $work/err. Its status is the caller's to
# check (1 is an answer too); a sanitizer report fails the case.
status=0
run_undo() {
  "$work/prog/velmora-undo" "$@" >"$work/out" 2>"$work/err"
  status=$?
  no_sanitizer_report "$work/err" "velmora-undo $*"
}

# 1. A rename in the window, as a person makes it; the cases after it undo it.
begin "rename in the window"
printf 'photo' >"$work/data/IMG_0001.jpg"
if ! open_window "$work/data/IMG_0001.jpg"; then
  end_cases "undo end to end"
  exit 1
fi
xdotool type --delay 15 'Holiday at sea'
xdotool key Return
finish
new="$work/data/Holiday at sea.jpg"
old="$work/data/IMG_0001.jpg"
[ "$(cat "$new" 2>/dev/null)" = photo ] || fail "not renamed: $(ls "$work/data")"
expect_log "Ren \"$new\" \"IMG_0001.jpg\""

# 2. velmora-undo gives the old name back and logs the undo as a line of its own.
begin "velmora-undo"
run_undo
[ "$status" = 0 ] || fail "velmora-undo exited $status: $(cat "$work/err")"
[ "$(cat "$old" 2>/dev/null)" = photo ] && [ ! -e "$new" ] || fail "old name not back: $(ls "$work/data")"
expect_log "Ren \"$new\" \"IMG_0001.jpg\"" "Ren \"$old\" \"Holiday at sea.jpg\""
grep -q "^velmora-undo: Renamed \"$new\" back to \"IMG_0001.jpg\"\.$" "$work/err" ||
  fail "message: $(cat "$work/err")"
[ -s "$work/out" ] && fail "an undo wrote to stdout: $(cat "$work/out")"

# 3. The list: newest first, the first rename marked undone; nothing on stderr.
begin "--list"
run_undo --list
printf '%s\n' "1  \"$old\" was \"Holiday at sea.jpg\"" \
              "2  \"$new\" was \"IMG_0001.jpg\"  (undone by 1)" >"$work/expected"
[ "$status" = 0 ] && cmp -s "$work/out" "$work/expected" && [ ! -s "$work/err" ] ||
  fail "--list exited $status: $(cat "$work/out" "$work/err")"

# 4. An entry that is undone already is refused, and nothing changes.
begin "an undone entry refused"
run_undo 2
[ "$status" = 1 ] && grep -q "undone already" "$work/err" ||
  fail "undoing an undone entry exited $status: $(cat "$work/err")"
[ -e "$old" ] || fail "a refused undo moved the file"

# 5. The menu entry's action, run as the desktop runs it, steps back through
#    the history: it passes over the undo (nothing else to undo), and once the
#    rename is put back by number it undoes it again, saying so in a
#    notification.
begin "the menu entry's action"
cat >"$work/fakebin/notify-send" <<EOF
#!/bin/sh
printf '%s\n' "\$@" >"$work/notified"
EOF
chmod +x "$work/fakebin/notify-send"
action="$(sed -n '/^\[Desktop Action undo-last\]$/,/^\[/s/^Exec=//p' "$desktop_entry")"
[ -n "$action" ] || fail "no undo-last action in $desktop_entry"
run_action() {
  # shellcheck disable=SC2086 # the Exec line is split into words, as the desktop does
  PATH="$work/prog:$work/fakebin:$PATH" $action 2>"$work/err"
  status=$?
  no_sanitizer_report "$work/err" "the action"
}
run_action
[ "$status" = 1 ] && [ -e "$old" ] && [ ! -e "$new" ] ||
  fail "the action after an undo exited $status: $(cat "$work/err"); $(ls "$work/data")"
run_undo 1
[ "$status" = 0 ] && [ -e "$new" ] || fail "putting the rename back exited $status: $(cat "$work/err")"
run_action
[ "$status" = 0 ] && [ ! -e "$new" ] && [ -e "$old" ] ||
  fail "the action ($action) exited $status: $(cat "$work/err"); $(ls "$work/data")"
grep -qx "Rename undone" "$work/notified" 2>/dev/null &&
  grep -qF "Renamed \"$new\" back to \"IMG_0001.jpg\"." "$work/notified" ||
  fail "notification: $(cat "$work/notified" 2>/dev/null)"
[ "$(wc -l <"$log")" = 4 ] || fail "the action's undo was not logged"

end_cases "undo end to end"
