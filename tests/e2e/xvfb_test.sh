#!/usr/bin/env bash
# Starts the built program under Xvfb on real files and drives it with real
# key events: rename with Enter, a taken name, Esc, a refused character, and
# an argument that Qt would otherwise have taken as its own option.
# Usage: xvfb_test.sh PATH/TO/velmora
set -uo pipefail
exe="$1"
for tool in Xvfb xdotool xdpyinfo; do
  command -v "$tool" >/dev/null || { echo "missing $tool (install xvfb, xdotool, x11-utils)"; exit 1; }
done

work="$(mktemp -d)"
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

# The program keeps Undo.log in its own folder: give it one of its own.
mkdir -p "$work/prog" "$work/data"
cp "$exe" "$work/prog/velmora"
log="$work/prog/Undo.log"

# Xvfb picks a free display itself and writes its number once it is ready,
# which leaves no race with another server starting or shutting down.
# -noreset: by default the server resets when its last client leaves, and a
# program started during the reset cannot connect.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$work/display")"
xdpyinfo >/dev/null 2>&1 || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Starts the program on $1 and waits until its window has the keyboard focus.
app_pid=""
start() {
  (cd "${2:-$work}" && exec "$work/prog/velmora" "$1" >"$work/app.log" 2>&1) &
  app_pid=$!
  for _ in $(seq 100); do
    # Active means: the focused window is ours, titled exactly "Velmora".
    if [ "$(xdotool getwindowfocus getwindowname 2>/dev/null)" = Velmora ] &&
       [ "$(xdotool getwindowfocus getwindowpid 2>/dev/null)" = "$app_pid" ]; then
      return 0
    fi
    sleep 0.1
  done
  fail "window did not become active for $1"
  sed 's/^/  program: /' "$work/app.log"
  sed 's/^/  xvfb: /' "$work/xvfb.log"
  kill "$app_pid" 2>/dev/null
  return 1
}

# Waits for the program to end (the window unloads after a rename or Esc).
finish() {
  for _ in $(seq 100); do
    kill -0 "$app_pid" 2>/dev/null || { wait "$app_pid"; return 0; }
    sleep 0.1
  done
  fail "program did not end"
  kill "$app_pid" 2>/dev/null
  return 1
}

expect_log() {
  local expected="$1"
  # Compared as bytes: $(...) would drop the CR LF being checked.
  printf '%s' "$expected" >"$work/expected"
  if ! tail -c "$(stat -c %s "$work/expected")" "$log" | cmp -s - "$work/expected"; then
    fail "undo log ends with: $(tail -c 200 "$log" | od -c | head -5)"
  fi
}

# 1. Type a name and press Enter: renamed, and the undo line byte-exact.
printf 'one' > "$work/data/IMG_0001.jpg"
if start "$work/data/IMG_0001.jpg"; then
  xdotool type --delay 15 'Holiday at sea'
  xdotool key Return
  finish
  [ "$(cat "$work/data/Holiday at sea.jpg" 2>/dev/null)" = one ] || fail "not renamed: $(ls "$work/data")"
  expect_log "Ren \"$work/data/Holiday at sea.jpg\" \"IMG_0001.jpg\""$'\r\n'
fi

# 2. A taken name is numbered, and nothing is replaced.
printf 'two' > "$work/data/scan.png"
printf 'taken' > "$work/data/photo.png"
if start "$work/data/scan.png"; then
  xdotool type --delay 15 'photo'
  xdotool key Return
  finish
  [ "$(cat "$work/data/photo (1).png" 2>/dev/null)" = two ] || fail "not numbered: $(ls "$work/data")"
  [ "$(cat "$work/data/photo.png")" = taken ] || fail "taken file changed"
  expect_log "Ren \"$work/data/photo (1).png\" \"scan.png\""$'\r\n'
fi

# 3. The window has its fixed size, and Esc leaves everything as it was.
printf 'three' > "$work/data/keep.txt"
size_before="$(stat -c %s "$log")"
if start "$work/data/keep.txt"; then
  xdotool getwindowfocus getwindowgeometry | grep -q 'Geometry: 812x348' ||
    fail "window is not 812 x 348: $(xdotool getwindowfocus getwindowgeometry)"
  xdotool type --delay 15 'other'
  xdotool key Escape
  finish
  [ -f "$work/data/keep.txt" ] && [ ! -e "$work/data/other.txt" ] || fail "Esc renamed: $(ls "$work/data")"
  [ "$(stat -c %s "$log")" = "$size_before" ] || fail "Esc wrote to the undo log"
fi

# 4. A refused character never reaches the field.
printf 'four' > "$work/data/q.txt"
if start "$work/data/q.txt"; then
  xdotool type --delay 15 'a?b:c'
  xdotool key Return
  finish
  [ -f "$work/data/abc.txt" ] || fail "refused characters got through: $(ls "$work/data")"
fi

# 5. An argument Qt would take as its own option (-reverse) is a file name here.
printf 'five' > "$work/data/-reverse"
if start -reverse "$work/data"; then
  xdotool type --delay 15 'renamed'
  xdotool key Return
  finish
  [ "$(cat "$work/data/renamed" 2>/dev/null)" = five ] || fail "-reverse was not taken as the file: $(ls "$work/data")"
fi

total=5
if [ "$failures" -eq 0 ]; then
  echo "$total passed, 0 failed"
  exit 0
fi
echo "$((total - failures)) passed, $failures failed"
exit 1
