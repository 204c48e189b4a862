#!/usr/bin/env bash
# Cross-compiles the core (no Qt) and its tests for 64-bit Windows with
# mingw-w64 and runs them under Wine, so that the Windows code (MoveFileW,
# GetACP, "\" paths, ShellExecuteW over the fake shell) runs for real.
#
#   scripts/windows-check.sh            install what is missing, build, test
#   VELMORA_WIN_BUILD=dir scripts/...   build somewhere else than build-win
#
# Installs (about 170 MB to download, 1.1 GB on disk): the mingw-w64 C++
# compiler (posix threads) and Wine. GoogleTest is built from its sources.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_WIN_BUILD:-$root/build-win}"
jobs="${VELMORA_JOBS:-2}"

. "$root/scripts/lib.sh"
t_start="$(now)"

# ------------------------------------------------------------------ packages
t_phase="$(now)"
missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
command -v wine >/dev/null || missing+=(wine)
[ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
command -v cmake >/dev/null || missing+=(cmake)
# Wine's recommends (fonts, sound, graphics) are not needed for console tests.
if [ "${#missing[@]}" -gt 0 ]; then
  install_packages "${missing[@]}"
fi
t_install="$(since "$t_phase")"

# ------------------------------------------------------------------ wine
# A prefix of our own, so that nothing of the user's Wine setup takes part.
export WINEPREFIX="$build/wine"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installer prompts when the prefix is first made.
export WINEDLLOVERRIDES="mscoree,mshtml="
# An English UTF-8 locale: Wine's ANSI code page is then 1252, which the tests
# expect, and file names may hold any character (under plain C they must be ASCII).
export LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY

t_phase="$(now)"
mkdir -p "$build"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== making the Wine prefix"
  wine wineboot --init >/dev/null 2>&1 || true
fi
# No server of this prefix left from wineboot or an interrupted run.
wineserver -k 2>/dev/null || true
wineserver -w
# A lingering server: each test process would otherwise start its own and
# wait for it, which is slow enough to time out test discovery.
wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
# Start Wine's own services now, detached from any pipe: started by the first
# test program, they would inherit its output and hold test discovery, which
# reads that output to its end, until it times out.
wine cmd /c exit </dev/null >/dev/null 2>&1
t_wine="$(since "$t_phase")"

# ------------------------------------------------------------------ build
t_phase="$(now)"
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
# Warnings are errors here, as in CI; a folder configured before that option
# existed is configured again to get it.
if ! grep -qx 'VELMORA_DEVELOPER_WARNINGS:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  cmake -S "$root" -B "$build" "${generator[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVELMORA_DEVELOPER_WARNINGS=ON \
    -DVELMORA_BUILD_UI=OFF -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_TESTS=ON >/dev/null
fi
cmake --build "$build" -j"$jobs" --target velmora_core_tests velmora_codec_ansi_tests
t_build="$(since "$t_phase")"

# ------------------------------------------------------------------ test
t_phase="$(now)"
status=0
ctest --test-dir "$build" -j"$jobs" --output-on-failure --timeout 120 \
  > "$build/ctest.log" 2>&1 || status=$?
t_test="$(since "$t_phase")"

if [ "$status" -ne 0 ]; then
  cat "$build/ctest.log"  # the output of each failed test is in it
else
  sed -n '/tests passed/,$p' "$build/ctest.log"
fi
echo "== times (s): install $t_install, wine $t_wine, build $t_build, test $t_test," \
     "total $(since "$t_start")"
exit "$status"
