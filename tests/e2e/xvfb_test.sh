#!/usr/bin/env bash
# Starts the built program under Xvfb on real files and drives it with real
# key and mouse events: rename with Enter, a taken name, Esc, a refused
# character, an argument that Qt would otherwise have taken as its own option,
# a path holding a quote, a decoded "/" that must not move the file, a log
# that a running copy holds while another starts, and a name of characters
# above U+FFFF.
# Usage: xvfb_test.sh PATH/TO/velmora
set -uo pipefail
. "$(dirname "$0")/../lib/xvfb.sh"
require_tools "(install xvfb, xdotool, x11-utils)" Xvfb xdotool xdpyinfo
make_work
install_program "$1"
start_xvfb
# The program draws an X window whatever the caller's environment says (CI
# often exports QT_QPA_PLATFORM=offscreen).
export QT_QPA_PLATFORM=xcb

# 1. Type a name and press Enter: renamed, and the undo line byte-exact.
begin "rename with Enter"
printf 'one' > "$work/data/IMG_0001.jpg"
if open_window "$work/data/IMG_0001.jpg"; then
  xdotool type --delay 15 'Holiday at sea'
  xdotool key Return
  finish
  [ "$(cat "$work/data/Holiday at sea.jpg" 2>/dev/null)" = one ] || fail "not renamed: $(ls "$work/data")"
  expect_log_tail "Ren \"$work/data/Holiday at sea.jpg\" \"IMG_0001.jpg\""$'\r\n'
fi

# 2. A taken name is numbered, and nothing is replaced.
begin "taken name numbered"
printf 'two' > "$work/data/scan.png"
printf 'taken' > "$work/data/photo.png"
if open_window "$work/data/scan.png"; then
  xdotool type --delay 15 'photo'
  xdotool key Return
  finish
  [ "$(cat "$work/data/photo (1).png" 2>/dev/null)" = two ] || fail "not numbered: $(ls "$work/data")"
  [ "$(cat "$work/data/photo.png")" = taken ] || fail "taken file changed"
  expect_log_tail "Ren \"$work/data/photo (1).png\" \"scan.png\""$'\r\n'
fi

# 3. The window has its fixed size, and Esc leaves everything as it was.
begin "fixed size and Esc"
printf 'three' > "$work/data/keep.txt"
size_before="$(stat -c %s "$log")"
if open_window "$work/data/keep.txt"; then
  xdotool getwindowfocus getwindowgeometry | grep -q 'Geometry: 812x348' ||
    fail "window is not 812 x 348: $(xdotool getwindowfocus getwindowgeometry)"
  xdotool type --delay 15 'other'
  xdotool key Escape
  finish
  [ -f "$work/data/keep.txt" ] && [ ! -e "$work/data/other.txt" ] || fail "Esc renamed: $(ls "$work/data")"
  [ "$(stat -c %s "$log")" = "$size_before" ] || fail "Esc wrote to the undo log"
fi

# 4. A refused character never reaches the field.
begin "refused character"
printf 'four' > "$work/data/q.txt"
if open_window "$work/data/q.txt"; then
  xdotool type --delay 15 'a?b:c'
  xdotool key Return
  finish
  [ -f "$work/data/abc.txt" ] || fail "refused characters got through: $(ls "$work/data")"
fi

# 5. An argument Qt would take as its own option (-reverse) is a file name here.
begin "-reverse is a file"
printf 'five' > "$work/data/-reverse"
if open_window -reverse "$work/data"; then
  xdotool type --delay 15 'renamed'
  xdotool key Return
  finish
  [ "$(cat "$work/data/renamed" 2>/dev/null)" = five ] || fail "-reverse was not taken as the file: $(ls "$work/data")"
  # An extension-less name loses its trailing dot: the line names the file as it is.
  expect_log_tail "Ren \"$work/data/renamed\" \"-reverse\""$'\r\n'
fi

# 6. A path holding a double quote is the file it names, not its quote-less twin.
begin "quote in the path"
printf 'mine' > "$work/data/a\"b.txt"
printf 'twin' > "$work/data/ab.txt"
if open_window "$work/data/a\"b.txt"; then
  xdotool type --delay 15 'quoted'
  xdotool key Return
  finish
  [ "$(cat "$work/data/quoted.txt" 2>/dev/null)" = mine ] || fail "not renamed: $(ls "$work/data")"
  [ "$(cat "$work/data/ab.txt" 2>/dev/null)" = twin ] || fail "the twin was touched: $(ls "$work/data")"
  rm -f "$work/data/quoted.txt" "$work/data/ab.txt"
fi

# 7. "%2F" decoded by "Unescape %nn" never moves the file out of its folder:
# the rename fails with a message, and the log gets a blank line.
begin "decoded slash stays in the folder"
mkdir -p "$work/data/sub"
printf 'seven' > "$work/data/sub/seven.txt"
if open_window "$work/data/sub/seven.txt"; then
  xdotool type --delay 15 '..%2Fup'
  # "Unescape %nn" sits at 148,308 (109 x 29) in the window.
  xdotool mousemove --window "$(xdotool getwindowfocus)" 200 322 click 1
  xdotool key Return
  # The report box takes the focus; Enter closes it and the program ends.
  if wait_focus "$app_pid" "Velmora 1.0"; then xdotool key Return; else fail "no report box"; fi
  finish
  [ "$(cat "$work/data/sub/seven.txt" 2>/dev/null)" = seven ] || fail "file moved: $(ls "$work/data/sub")"
  [ ! -e "$work/data/up.txt" ] || fail "file left its folder"
  expect_log_tail $'\r\n'
fi

# 8. A log that one window holds is never discarded by another copy's start:
# the holder's line is in the log that is there afterwards.
begin "held log kept"
printf 'held' > "$work/data/held.txt"
printf 'other' > "$work/data/other.txt"
head -c 65500 /dev/zero | tr '\0' x > "$log"
if open_window "$work/data/held.txt"; then
  holder="$app_pid"
  holder_window="$(xdotool getwindowfocus)"
  # A rename elsewhere pushed the log past 64 KiB; a third copy starts and ends.
  head -c 100 /dev/zero | tr '\0' y >> "$log"
  if open_window "$work/data/other.txt"; then
    xdotool key Escape
    finish
  fi
  [ "$(stat -c %s "$log" 2>/dev/null)" = 65600 ] || fail "the held log was discarded"
  app_pid="$holder"
  xdotool windowactivate --sync "$holder_window" 2>/dev/null || xdotool windowfocus --sync "$holder_window"
  xdotool type --delay 15 'kept'
  xdotool key Return
  finish
  [ -f "$work/data/kept.txt" ] || fail "not renamed: $(ls "$work/data")"
  expect_log_tail "Ren \"$work/data/kept.txt\" \"held.txt\""$'\r\n'
fi

# 9. A name of characters above U+FFFF (their low halves U+DCC4, U+DCA1 and
# U+DCBE lie where escaped bytes lie): the file opens, "Text Title" reads such
# a line whole, a typed one is kept, and the undo line holds the exact bytes.
begin "characters above U+FFFF"
printf '\xf0\x9f\x92\xa1 Idea\n' > "$work/data/📄 notes.txt"
if open_window "$work/data/📄 notes.txt"; then
  # "Text Title" sits at 124,256 (109 x 29) in the window.
  xdotool mousemove --window "$(xdotool getwindowfocus)" 178 270 click 1
  xdotool key End
  xdotool type --delay 15 ' 💾'
  xdotool key Return
  finish
  [ "$(cat "$work/data/💡 Idea 💾.txt" 2>/dev/null)" = '💡 Idea' ] || fail "not renamed: $(ls "$work/data")"
  expect_log_tail "Ren \"$work/data/💡 Idea 💾.txt\" \"📄 notes.txt\""$'\r\n'
fi

end_cases
