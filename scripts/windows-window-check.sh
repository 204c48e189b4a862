#!/usr/bin/env bash
# Builds the window for 64-bit Windows against the Qt that qt-windows.sh
# cross-builds (once, then cached), packs the portable zip and the per-user
# installer, and tries them under Wine as a person would (tests/win).
#
#   scripts/windows-window-check.sh            build, pack, test
#   VELMORA_WIN_UI_BUILD=dir scripts/...       build somewhere else than build-win-ui
#
# The packages land in build-win-ui/packages: Velmora-<version>-win64.zip and
# Velmora-<version>-win64.exe.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_WIN_UI_BUILD:-$root/build-win-ui}"
jobs="${VELMORA_JOBS:-2}"

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
if [ "${#missing[@]}" -gt 0 ]; then install_packages "${missing[@]}"; fi

# ------------------------------------------------------------------ Qt
t_phase="$(now)"
qt="$("$root/scripts/qt-windows.sh" | tail -n1)"
t_qt="$(since "$t_phase")"

# ------------------------------------------------------------------ build
t_phase="$(now)"
if ! grep -qx "VELMORA_QT_WINDOWS:UNINITIALIZED=$qt" "$build/CMakeCache.txt" 2>/dev/null &&
   ! grep -qx "VELMORA_QT_WINDOWS:PATH=$qt" "$build/CMakeCache.txt" 2>/dev/null; then
  cmake -S "$root" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DVELMORA_QT_WINDOWS:PATH="$qt" \
    -DCMAKE_BUILD_TYPE=Release -DVELMORA_DEVELOPER_WARNINGS=ON \
    -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_TESTS=ON >/dev/null
fi
cmake --build "$build" -j"$jobs" --target velmora velmora-undo velmora_record_command_line
(cd "$build" && cpack --config CPackConfig.cmake >"$build/cpack.log" 2>&1) ||
  { cat "$build/cpack.log"; exit 1; }
t_build="$(since "$t_phase")"

# ------------------------------------------------------------------ test
t_phase="$(now)"
status=0
VELMORA_WINDOWS_SHOT="$build/window-wine.png" \
  ctest --test-dir "$build" -R '^windows_window$' --output-on-failure || status=$?
t_test="$(since "$t_phase")"
echo "== screenshot under Wine: $build/window-wine.png; packages: $(ls "$build/packages"/*.zip "$build/packages"/*.exe 2>/dev/null | xargs -n1 basename | xargs)"
echo "== times (s): Qt $t_qt, build and pack $t_build, test $t_test, total $(since "$t_start")"
exit "$status"
