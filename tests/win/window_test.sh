#!/usr/bin/env bash
# The Windows build of the program, as a person uses it, under Wine's X11
# driver on an Xvfb of its own, driven with xdotool: the folder a user gets
# (cmake --install), opening with and without quotes, the window's size and
# first state, Tab, typing and Enter, numbering, an emoji name undone by
# velmora-undo, Esc, a refused character's beep, the picture buttons and the
# clipboard, "-st", the undo line run by cmd, "run" with and without an
# associated program, a vanished file; a screenshot in $VELMORA_WINDOWS_SHOT
# when set. Then the installer: install, use from the Start menu's folder,
# uninstall.
# Usage: window_test.sh CMAKE BUILD_DIR BELL_WATCH_SOURCE RECORDER [INSTALLER]
set -u
cmake="$1"
build="$2"
bell_source="$3"
recorder="$4"
installer="${5:-}"

. "$(dirname "$0")/../lib/xvfb.sh"
require_tools --skip "(apt install wine wine64 xvfb xdotool x11-utils)" wine wineserver winepath Xvfb xdotool xdpyinfo xprop
require_tools --skip "(apt install xclip)" xclip

make_work
trap 'stop_wine; cleanup' EXIT
start_xvfb 1024x768x24
start_wine
# Windows maps .txt to Notepad; Wine 8's prefix has the program's entry
# (txtfile) but not the mapping.
wine reg add 'HKCR\.txt' /ve /d txtfile /f >/dev/null 2>&1

# The folder a user unpacks or installs.
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
  take_focus
}

# Wine gives a window the X focus once it is mapped when wine started the
# program itself; started by cmd, with no window manager to hand it over, the
# window shows as active but the keys go elsewhere. A person would click it.
take_focus() {
  for _ in $(seq 30); do [ "$(xdotool getwindowfocus 2>/dev/null)" = "$win" ] && return 0; sleep 0.1; done
  xdotool windowfocus --sync "$win" 2>/dev/null
}

# Gives the window back the keys after another program took them, as a
# person does: a click on an empty part of it (X focus alone does not make
# Wine activate it).
activate() {
  click_at "$win" 700 105
  sleep 0.3
}

# A window a failed case left open would take the next case's keys.
close_strays() {
  if [ -n "$(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null)" ]; then
    fail "a window was left open"
    restart_wine
  fi
}

# 1. Opened on a path with spaces, quoted: the window's client area, the base
#    name selected, typing and Enter rename, and the undo line.
close_strays
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
close_strays
begin "the undo line runs in cmd"
# As a batch file: Wine would quote a whole command given to cmd /c.
[ -s "$log" ] || fail "no undo line to run"
tail -n1 "$log" >"$work/data/undo.bat"
(cd "$work/data" && wine cmd /c undo.bat >"$work/cmd.log" 2>&1)
rm -f "$work/data/undo.bat"
[ -f "$work/data/my photo.jpg" ] && [ ! -e "$work/data/holiday.jpg" ] ||
  fail "cmd /c undo.bat with "$(tail -n1 "$log" | tr -d "\r")" left: $(ls "$work/data"); $(cat "$work/cmd.log")"

# 3. The raw command line without quotes (as a shortcut or cmd passes it),
#    and Tab from the base name to the extension.
close_strays
begin "unquoted path with spaces; Tab"
rm -f "$log"
(cd "$work/data" && exec wine cmd /c "$(windows_path "$work/prog/velmora.exe") $data_win\\my photo.jpg" \
   >"$work/app.log" 2>&1) &
app_pid=$!
if win="$(wait_window Velmora)"; then
  take_focus
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
close_strays
begin "collision numbering"
echo other >"$work/data/taken.png"
if open_on "tabbed.png"; then
  xdotool type --delay 20 "taken"
  xdotool key Return
  finish "Enter"
  [ "$(cat "$work/data/taken (1).png" 2>/dev/null)" = photo ] && [ "$(cat "$work/data/taken.png")" = other ] ||
    fail "not numbered: $(ls "$work/data")"
fi

# 5. A name no single-byte code page holds (an emoji, Japanese): renamed, the
#    log line names both names exactly, and velmora-undo gives the old back.
close_strays
begin "emoji and CJK names; velmora-undo"
rm -f "$log"
odd=$'\U0001F389 party \u65e5\u672c'
echo party >"$work/data/$odd.txt"
if open_on "$odd.txt"; then
  xdotool key End
  xdotool type --delay 20 " 2"
  xdotool key Return
  finish "Enter"
  [ "$(cat "$work/data/$odd 2.txt" 2>/dev/null)" = party ] || fail "not renamed: $(ls "$work/data")"
  expect_log "Ren \"$data_win\\$odd 2.txt\" \"$odd.txt\""
  (cd "$work/data" && wine "$work/prog/velmora-undo.exe" >"$work/undo.out" 2>&1) ||
    fail "velmora-undo: $(cat "$work/undo.out")"
  [ -f "$work/data/$odd.txt" ] && [ ! -e "$work/data/$odd 2.txt" ] || fail "velmora-undo left: $(ls "$work/data")"
fi

# 6. Esc changes nothing and writes no line.
close_strays
begin "Esc cancels"
before="$(cat "$log")"
if open_on "taken (1).png"; then
  xdotool type --delay 20 "never"
  xdotool key Escape
  finish "Esc"
  [ -f "$work/data/taken (1).png" ] && [ ! -e "$work/data/never.png" ] || fail "Esc renamed: $(ls "$work/data")"
  [ "$(cat "$log")" = "$before" ] || fail "Esc wrote to the log"
fi

# 7. A character no Windows name may hold is refused with a beep.
close_strays
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

# 8. The picture buttons through the clipboard. Copy puts the selected base
#    name there; Cut too, and empties the field; Paste takes what another
#    program put there; Delete removes only the selection; a copy outlives
#    the window.
close_strays
begin "picture buttons and the clipboard"
clipboard() { xclip -o -selection clipboard 2>/dev/null; }
if open_on "taken (1).png"; then
  click_at "$win" 46 130  # Copy
  sleep 0.5
  [ "$(clipboard)" = "taken (1)" ] || fail "Copy left '$(clipboard)' on the clipboard"
  printf 'other' | xclip -selection clipboard
  xdotool key ctrl+a
  click_at "$win" 18 130  # Cut
  sleep 0.5
  [ "$(clipboard)" = "taken (1)" ] || fail "Cut left '$(clipboard)' on the clipboard"
  printf 'pasted' | xclip -selection clipboard
  sleep 0.3
  click_at "$win" 74 130  # Paste into the emptied field
  xdotool key shift+Left shift+Left shift+Left
  click_at "$win" 102 130  # Delete the selected "ted"
  xdotool key Return
  finish "Enter"
  [ -f "$work/data/pas.png" ] || fail "Cut, Paste and Delete did not give 'pas': $(ls "$work/data")"
fi
# What was copied stays on the clipboard after the window has gone.
if open_on "pas.png"; then
  click_at "$win" 46 130  # Copy
  sleep 0.3
  xdotool key Escape
  finish "Esc after Copy"
  sleep 0.5
  [ "$(clipboard)" = "pas" ] || fail "after the window closed the clipboard holds '$(clipboard)'"
fi

# 9. "-st" alone asks for the file, then opens the window minimised: Wine,
#    with no window manager, asks X for an iconic window and draws nothing.
close_strays
begin "-st minimised"
launch_windows "$work/data" -st
if chooser="$(wait_window "Choose the file to rename")"; then
  xdotool windowfocus --sync "$chooser" 2>/dev/null
  xdotool type --delay 20 "pas.png"
  xdotool key Return
  for _ in $(seq 50); do win="$(xdotool search --name '^Velmora$' 2>/dev/null | head -n1)"; [ -n "$win" ] && break; sleep 0.1; done
  sleep 1
  if [ -z "$win" ]; then
    fail "no window after the file was chosen"
  else
    xprop -id "$win" WM_HINTS 2>/dev/null | grep -q "Iconic State" || fail "-st did not ask for an iconic window"
  fi
  kill -0 "$app_pid" 2>/dev/null || fail "-st ended the program"
else
  fail "-st did not ask for the file"
fi
restart_wine
[ -f "$work/data/pas.png" ] || fail "-st changed the file: $(ls "$work/data")"

# 10. "run": a .txt opens in Notepad with the file; a type with no program
#    starts the "Open With" command line (recorded by a stand-in for the
#    system's rundll32.exe).
close_strays
begin "run with and without an association"
echo "notes" >"$work/data/notes.txt"
if open_on "notes.txt"; then
  click_at "$win" 788 46
  wait_window "notes.txt - Notepad" >/dev/null || fail "run did not open the .txt in Notepad"
  activate
  xdotool key Escape
  finish "Esc after run"
fi
restart_wine  # Notepad ends with the server
# The stand-in takes the system's rundll32.exe's place (Wine would run its
# own built-in one over the file); a copy planted beside the program must not
# run.
system32="$WINEPREFIX/drive_c/windows/system32"
cp "$system32/rundll32.exe" "$work/rundll32.exe.wine"
cp "$recorder" "$system32/rundll32.exe"
overrides="$WINEDLLOVERRIDES"
export WINEDLLOVERRIDES="$overrides;rundll32.exe=n"
cp "$recorder" "$work/prog/rundll32.exe"
rm -f "$system32/command_lines.txt"
echo "x" >"$work/data/file.velmoraunknown"
if open_on "file.velmoraunknown"; then
  click_at "$win" 788 46
  for _ in $(seq 50); do [ -s "$system32/command_lines.txt" ] && break; sleep 0.1; done
  grep -qF "shell32.dll,OpenAs_RunDLL $data_win\\file.velmoraunknown" "$system32/command_lines.txt" 2>/dev/null ||
    fail "Open With command line: $(cat "$system32/command_lines.txt" 2>/dev/null)"
  [ -e "$work/prog/command_lines.txt" ] && fail "the rundll32.exe beside the program ran"
  activate
  xdotool key Escape
  finish "Esc after run"
fi
export WINEDLLOVERRIDES="$overrides"
cp "$work/rundll32.exe.wine" "$system32/rundll32.exe"
rm -f "$work/prog/rundll32.exe" "$system32/command_lines.txt"

# 11. A file that vanished before "run": "File Not Found".
close_strays
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

# 12. The installer, through its pages as a person clicks them (Enter takes
#     the default button: I Agree, Install, Next, Finish): per user, into
#     %LOCALAPPDATA%\Programs\Velmora, with Start menu and Send To entries
#     and an entry under the user's installed programs.
profile="$(winepath -u "$(wine cmd /c echo %USERPROFILE% 2>/dev/null | tr -d '\r')" 2>/dev/null)"
home="$profile/AppData/Local/Programs/Velmora"
sendto="$profile/AppData/Roaming/Microsoft/Windows/SendTo/Velmora.lnk"
startmenu="$profile/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Velmora.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora'
close_strays
begin "the installer's pages"
if [ ! -f "$installer" ]; then
  fail "no installer at $installer (cpack makes it)"
else
  # What an earlier run may have left in the build's prefix.
  rm -rf "$home" "$sendto" "$startmenu"
  wine reg delete "$uninstall_key" /f >/dev/null 2>&1
  (exec wine "$installer" >"$work/installer.log" 2>&1) &
  installer_pid=$!
  if setup="$(wait_window "Velmora Setup.*")"; then
    for _ in $(seq 8); do
      kill -0 "$installer_pid" 2>/dev/null || break
      xdotool windowfocus --sync "$setup" 2>/dev/null
      xdotool key Return
      sleep 1.5
    done
  else
    fail "the installer showed no window"
  fi
  kill -0 "$installer_pid" 2>/dev/null && { fail "the installer did not end"; kill "$installer_pid"; }
  wait "$installer_pid" 2>/dev/null
  for f in velmora.exe velmora-undo.exe Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll platforms/qwindows.dll \
           styles/qwindowsvistastyle.dll libstdc++-6.dll Uninstall.exe; do
    [ -f "$home/$f" ] || fail "not installed: $f"
  done
  [ -f "$sendto" ] || fail "no Send To entry"
  [ -f "$startmenu" ] || fail "no Start menu entry"
  wine reg query "$uninstall_key" /v UninstallString >/dev/null 2>&1 || fail "no entry under the installed programs"
  # The stripped folder, about 25 MB, in KiB.
  size="$(wine reg query "$uninstall_key" /v EstimatedSize 2>/dev/null | tr -d '\r' | awk '/EstimatedSize/ {print $3}')"
  [ -n "$size" ] && [ $((size)) -gt 10240 ] && [ $((size)) -lt 40960 ] || fail "the installed size is '$size' KiB"
fi

# 13. A file handed over by Explorer's Send To (the shortcut started with the
#     file's path): renamed, its line in the Undo.log beside the program.
close_strays
begin "Send To renames"
echo sent >"$work/data/sent file.txt"
if [ -f "$sendto" ]; then
  wine start "$(windows_path "$sendto")" "$data_win\\sent file.txt" >"$work/app.log" 2>&1
  if win="$(wait_window Velmora)"; then
    take_focus
    xdotool type --delay 20 "sent"
    xdotool key Return
    for _ in $(seq 50); do [ -z "$(xdotool search --onlyvisible --name '^Velmora$' 2>/dev/null)" ] && break; sleep 0.1; done
    [ "$(cat "$work/data/sent.txt" 2>/dev/null)" = sent ] || fail "not renamed: $(ls "$work/data")"
    log="$home/Undo.log"
    expect_log "Ren \"$data_win\\sent.txt\" \"sent file.txt\""
  else
    fail "Send To opened no window"
  fi
fi

# 14. The uninstaller refuses while Velmora runs; then (as the installed
#     programs list runs it) it leaves the user's Undo.log and words.txt, and
#     nothing else.
close_strays
begin "uninstall"
if [ -f "$home/Uninstall.exe" ]; then
  # While Velmora runs, the uninstaller (run in place, so that wine waits for
  # it) removes nothing.
  echo open >"$work/data/open.txt"
  velmora_exe="$home/velmora.exe" launch_windows "$work/data" "$data_win\\open.txt"
  if win="$(wait_window Velmora)"; then
    wine "$(windows_path "$home/Uninstall.exe")" /S "_?=$(windows_path "$home")" >/dev/null 2>&1
    [ -f "$home/velmora.exe" ] && [ -f "$home/Qt6Core.dll" ] && [ -f "$sendto" ] ||
      fail "the uninstaller removed files of a running Velmora"
    wine reg query "$uninstall_key" >/dev/null 2>&1 || fail "the uninstaller dropped the entry of a running Velmora"
    take_focus
    xdotool key Escape
    finish "Esc"
  else
    fail "the installed Velmora opened no window"
  fi
  printf 'Invoice\r\n' >"$home/words.txt"
  wine "$(windows_path "$home/Uninstall.exe")" /S >/dev/null 2>&1
  # It runs on from a copy of itself, which deletes the original.
  for _ in $(seq 100); do [ -e "$home/Uninstall.exe" ] || break; sleep 0.2; done
  sleep 1
  left="$(cd "$home" && find . -mindepth 1 | sort | xargs)"
  [ "$left" = "./Undo.log ./words.txt" ] || fail "left in the folder: $left"
  [ ! -e "$sendto" ] && [ ! -e "$startmenu" ] || fail "an entry stayed"
  wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the installed programs entry stayed"
  rm -rf "$home"
fi

end_cases "Windows window under Wine"
