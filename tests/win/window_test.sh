#!/usr/bin/env bash
# The Windows build of the program, as a person uses it, under Wine's X11
# driver on an Xvfb of its own, driven with xdotool: the folder a user gets
# (cmake --install), opening with and without quotes, the window's size and
# first state, Tab, typing and Enter, numbering, Esc, a refused character's
# beep, the picture buttons and the clipboard, "-st", the undo line run by
# cmd, "run" with and without an associated program, a vanished file; a
# screenshot in $VELMORA_WINDOWS_SHOT when set. Then the installer: install,
# use from the Start menu's folder, uninstall.
# Usage: window_test.sh CMAKE BUILD_DIR BELL_WATCH_SOURCE [INSTALLER]
set -u
cmake="$1"
build="$2"
bell_source="$3"
installer="${4:-}"

. "$(dirname "$0")/../lib/xvfb.sh"
require_tools --skip "(apt install wine wine64 xvfb xdotool x11-utils)" wine wineserver winepath Xvfb xdotool xdpyinfo
require_tools --skip "(apt install xclip)" xclip

make_work
trap 'stop_wine; cleanup' EXIT
start_xvfb 1024x768x24
start_wine

# The folder a user unpacks or installs, with a stand-in for rundll32.exe
# beside the program (the search for a command's program starts there) that
# records the "Open With" command line it is given.
"$cmake" --install "$build" --prefix "$work/prog" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install"; exit 1; }
mkdir -p "$work/data"
log="$work/prog/Undo.log"
cc -o "$work/bell_watch" "$bell_source" -lX11 2>"$work/cc.log" || { cat "$work/cc.log"; exit 1; }
start_bell_watch "$work/bell_watch" || fail "the bell watch did not start"
data_win="$(windows_path "$work/data")"

# Opens the window on the file $1 of $work/data (as the Windows path, quoted
# by Wine's command line) and waits for it; sets $win.
open_on() {
  launch_windows "$work/data" "$data_win\\$1" "${@:2}"
  win="$(wait_window Velmora)" || { fail "no window for $1"; sed 's/^/  program: /' "$work/app.log"; return 1; }
  # Wine gives a new window the focus once it is mapped.
  for _ in $(seq 50); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$win" ] && break; sleep 0.1; done
}

# 1. Opened on a path with spaces, quoted: the window's client area, the base
#    name selected, typing and Enter rename, and the undo line.
begin "quoted path with spaces; size; selection; Enter"
echo photo >"$work/data/my photo.jpg"
if open_on "my photo.jpg"; then
  read -r _ _ width height < <(xdotool getwindowgeometry --shell "$win" | sed -n 's/^WIDTH=//p;s/^HEIGHT=//p' | xargs echo x x)
  [ "$width" = 812 ] && [ "$height" = 348 ] || fail "client area ${width}x${height}, expected 812x348"
  if [ -n "${VELMORA_WINDOWS_SHOT:-}" ] && command -v import >/dev/null; then
    import -window root "$VELMORA_WINDOWS_SHOT" 2>/dev/null
  fi
  xdotool type --delay 20 "holiday"
  xdotool key Return
  finish "Enter"
  [ "$(cat "$work/data/holiday.jpg" 2>/dev/null)" = photo ] || fail "not renamed: $(ls "$work/data")"
  expect_log "Ren \"$data_win\\holiday.jpg\" \"my photo.jpg\""
fi

# 2. The undo line is a command of cmd: run, it gives the old name back.
begin "the undo line runs in cmd"
line="$(tr -d '\r' <"$log" | tail -n1)"
(cd "$work/data" && wine cmd /c "$line" >"$work/cmd.log" 2>&1)
[ -f "$work/data/my photo.jpg" ] && [ ! -e "$work/data/holiday.jpg" ] ||
  fail "cmd /c $line left: $(ls "$work/data"); $(cat "$work/cmd.log")"

# 3. The raw command line without quotes (as a shortcut or cmd passes it),
#    and Tab from the base name to the extension.
begin "unquoted path with spaces; Tab"
rm -f "$log"
(cd "$work/data" && exec wine cmd /c "$(windows_path "$work/prog/velmora.exe") $data_win\\my photo.jpg" \
   >"$work/app.log" 2>&1) &
app_pid=$!
if win="$(wait_window Velmora)"; then
  xdotool type --delay 20 "tabbed"
  xdotool key Tab
  xdotool type --delay 20 "png"
  xdotool key Return
  finish "Enter after Tab"
  [ -f "$work/data/tabbed.png" ] || fail "not renamed through Tab: $(ls "$work/data")"
  expect_log "Ren \"$data_win\\tabbed.png\" \"my photo.jpg\""
else
  fail "no window for an unquoted path"; sed 's/^/  program: /' "$work/app.log"
fi

# 4. A taken name is numbered.
begin "collision numbering"
echo other >"$work/data/taken.png"
if open_on "tabbed.png"; then
  xdotool type --delay 20 "taken"
  xdotool key Return
  finish "Enter"
  [ "$(cat "$work/data/taken (1).png" 2>/dev/null)" = photo ] && [ "$(cat "$work/data/taken.png")" = other ] ||
    fail "not numbered: $(ls "$work/data")"
fi

# 5. Esc changes nothing and writes no line.
begin "Esc cancels"
before="$(cat "$log")"
if open_on "taken (1).png"; then
  xdotool type --delay 20 "never"
  xdotool key Escape
  finish "Esc"
  [ -f "$work/data/taken (1).png" ] && [ ! -e "$work/data/never.png" ] || fail "Esc renamed: $(ls "$work/data")"
  [ "$(cat "$log")" = "$before" ] || fail "Esc wrote to the log"
fi

# 6. A character no Windows name may hold is refused with a beep.
begin "a refused character beeps"
if open_on "taken (1).png"; then
  rung="$(bells)"
  xdotool key End
  xdotool type --delay 20 ':'
  for _ in $(seq 30); do [ "$(bells)" -gt "$rung" ] && break; sleep 0.1; done
  [ "$(bells)" -gt "$rung" ] || fail "no beep for ':'"
  xdotool key Return
  finish "Enter"
  [ -f "$work/data/taken (1).png" ] || fail "a refused character changed the name: $(ls "$work/data")"
fi

# 7. The picture buttons through the clipboard: Copy, Cut, Paste, Delete.
begin "picture buttons and the clipboard"
if open_on "taken (1).png"; then
  click_at "$win" 46 130  # Copy
  sleep 0.5
  [ "$(xclip -o -selection clipboard 2>/dev/null)" = "taken (1)" ] ||
    fail "Copy left '$(xclip -o -selection clipboard 2>/dev/null)' on the clipboard"
  click_at "$win" 102 130  # Delete: the base name emptied
  click_at "$win" 74 130   # Paste: back from the clipboard
  printf 'pasted' | xclip -selection clipboard
  sleep 0.3
  click_at "$win" 102 130
  click_at "$win" 74 130
  xdotool key Return
  finish "Enter"
  [ -f "$work/data/pasted.png" ] || fail "the pasted name was not used: $(ls "$work/data")"
fi

# 8. "-st" starts minimised: no visible window, yet it runs and takes Esc
#    once restored.
begin "-st minimised"
launch_windows "$work/data" "$data_win\\pasted.png" -st
sleep 3
if kill -0 "$app_pid" 2>/dev/null; then
  [ -z "$(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null)" ] || fail "-st showed the window"
  kill "$app_pid"; wait "$app_pid" 2>/dev/null; app_pid=""
else
  fail "-st ended the program"
fi

# 9. "run": a .txt opens in Wine's associated program; a type without one
#    starts the "Open With" command line (recorded by the stand-in).
begin "run with and without an association"
echo "notes" >"$work/data/notes.txt"
if open_on "notes.txt"; then
  click_at "$win" 788 46
  wait_window ".*[Nn]otepad.*" >/dev/null || fail "run did not start Notepad for a .txt"
  xdotool key Escape
  finish "Esc after run"
fi
wineserver -k 2>/dev/null; wineserver -p  # Notepad ends with the server
cp "$work/prog/velmora_record_command_line.exe" "$work/prog/rundll32.exe"
echo "x" >"$work/data/file.velmoraunknown"
if open_on "file.velmoraunknown"; then
  click_at "$win" 788 46
  for _ in $(seq 50); do [ -s "$work/prog/command_lines.txt" ] && break; sleep 0.1; done
  grep -qF "shell32.dll,OpenAs_RunDLL $data_win\\file.velmoraunknown" "$work/prog/command_lines.txt" 2>/dev/null ||
    fail "Open With command line: $(cat "$work/prog/command_lines.txt" 2>/dev/null)"
  xdotool key Escape
  finish "Esc after run"
fi
rm -f "$work/prog/rundll32.exe"

# 10. A file that vanished before "run": "File Not Found".
begin "run on a vanished file"
echo gone >"$work/data/gone.txt"
if open_on "gone.txt"; then
  rm "$work/data/gone.txt"
  click_at "$win" 788 46
  box="$(wait_window "Error Message")" || fail "no message box for a vanished file"
  if [ -n "${box:-}" ]; then
    xdotool key Return
    sleep 0.5
  fi
  xdotool key Escape
  finish --any-exit "Esc after the message"
fi

end_cases "Windows window under Wine"
