#!/usr/bin/env bash
# Builds the window for 64-bit Windows against the Qt that qt-windows.sh
# cross-builds (once, then cached), packs the portable zip and the per-user
# installer, and tries them under Wine as a person would (tests/win).
#
#   scripts/windows-window-check.sh            build, pack, test
#   scripts/windows-window-check.sh --bench    and then the start-up bench under
#                                              Wine: velmora.exe against the bare
#                                              window (needs the host build, build/)
#   VELMORA_WIN_UI_BUILD=dir scripts/...       build somewhere else than build-win-ui
#
# The packages land in build-win-ui/packages: Velmora-<version>-win64.zip and
# Velmora-<version>-win64.exe.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_WIN_UI_BUILD:-$root/build-win-ui}"
jobs="${VELMORA_JOBS:-2}"
bench=""
case "${1:-}" in
  --bench) bench=1 ;;
  "") ;;
  *) echo "usage: scripts/windows-window-check.sh [--bench]" >&2; exit 2 ;;
esac

. "$root/scripts/lib.sh"
t_start="$(now)"

# ------------------------------------------------------------------ packages
missing=()
command -v wine >/dev/null || missing+=(wine)
[ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
command -v makensis >/dev/null || missing+=(nsis)
command -v xclip >/dev/null || missing+=(xclip)
command -v Xvfb >/dev/null || missing+=(xvfb)
command -v xdotool >/dev/null || missing+=(xdotool)
command -v import >/dev/null || missing+=(imagemagick)
command -v xprop >/dev/null || missing+=(x11-utils)
# The bell watch is a small X11 client built for the host.
command -v cc >/dev/null || missing+=(gcc)
[ -f /usr/include/X11/Xlib.h ] || missing+=(libx11-dev)
if [ "${#missing[@]}" -gt 0 ]; then install_packages "${missing[@]}"; fi

# ------------------------------------------------------------------ Qt
t_phase="$(now)"
qt="$("$root/scripts/qt-windows.sh" | tail -n1)"
t_qt="$(since "$t_phase")"

# ------------------------------------------------------------------ build
t_phase="$(now)"
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DVELMORA_QT_WINDOWS:PATH="$qt" \
  -DCMAKE_BUILD_TYPE=Release -DVELMORA_DEVELOPER_WARNINGS=ON \
  -DVELMORA_BUILD_BENCH=ON -DVELMORA_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j"$jobs" --target velmora velmora-undo velmora_record_command_line velmora_bare_window
(cd "$build" && cpack --config CPackConfig.cmake >"$build/cpack.log" 2>&1) ||
  { cat "$build/cpack.log"; exit 1; }
t_build="$(since "$t_phase")"

# ------------------------------------------------------------------ test
t_phase="$(now)"
status=0
VELMORA_WINDOWS_SHOT="$build/window-wine.png" \
  ctest --test-dir "$build" -R '^windows_window$' --no-tests=error --output-on-failure \
  | tee "$build/ctest.log" || status=$?  # pipefail: ctest's own status
# A skip (a tool missing) tested nothing: here that is a failure.
if grep -q 'Not Run\|Skipped' "$build/ctest.log"; then
  echo "windows-window-check: the Windows window test was skipped" >&2
  status=1
fi
t_test="$(since "$t_phase")"
echo "== screenshot under Wine: $build/window-wine.png; packages: $(ls "$build/packages"/*.zip "$build/packages"/*.exe 2>/dev/null | xargs -n1 basename | xargs)"
echo "== times (s): Qt $t_qt, build and pack $t_build, test $t_test, total $(since "$t_start")"
[ "$status" -eq 0 ] || exit "$status"

# ------------------------------------------------------------------ bench
if [ -n "$bench" ]; then
  # Both programs in the folder a user gets, so each finds the same DLLs.
  folder="$build/bench-folder"
  rm -rf "$folder"
  cmake --install "$build" --prefix "$folder" >/dev/null
  cp "$build/velmora_bare_window.exe" "$folder/"
  [ -f "$root/build/CMakeCache.txt" ] || cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$root/build" -j"$jobs" --target velmora_startup_bench >/dev/null
  "$root/build/velmora_startup_bench" --wine "$folder/velmora.exe" "$folder/velmora_bare_window.exe"
fi
