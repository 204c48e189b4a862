#!/usr/bin/env bash
# Builds the core's and the window's tests with AddressSanitizer, UBSan and
# LeakSanitizer (g++) in build-asan and runs each once. Fails on a failed
# test or on any sanitizer report, also one from a process a test started.
#
#   scripts/sanitize.sh                 build, run the core and window tests
#   VELMORA_SANITIZE_E2E=1 scripts/...  also the end-to-end scripts, against
#                                       the sanitized programs (slower)
#   VELMORA_ASAN_BUILD=dir scripts/...  build somewhere else than build-asan
#
# Needs what scripts/deps.sh installs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_ASAN_BUILD:-$root/build-asan}"
jobs="${VELMORA_JOBS:-2}"

. "$root/scripts/lib.sh"
t_start="$(now)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# ------------------------------------------------------------------ build
# -O1 keeps the tests quick while the reports still name every frame.
# Warnings stay warnings here: the plain build already makes them errors in
# CI, and g++'s instrumentation is prone to false -Wmaybe-uninitialized and
# -Wstringop-* warnings.
t_phase="$(now)"
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=gcc CXX=g++ cmake -S "$root" -B "$build" "${generator[@]}" -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS="-O1 $sanitizers" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DCMAKE_SHARED_LINKER_FLAGS="$sanitizers" \
    -DCMAKE_MODULE_LINKER_FLAGS="$sanitizers" \
    -DVELMORA_BUILD_BENCH=OFF -DVELMORA_BUILD_TESTS=ON -DVELMORA_BUILD_UI=ON >/dev/null
fi
targets=(velmora_core_tests velmora_ui_tests)
if [ -n "${VELMORA_SANITIZE_E2E:-}" ]; then targets+=(velmora velmora-undo velmora_test_portal); fi
cmake --build "$build" -j"$jobs" --target "${targets[@]}"
t_build="$(since "$t_phase")"

# ------------------------------------------------------------------ run
# Every sanitized process, the tests' children included, writes its ASan and
# LSan reports to a file of its own under $work/reports instead of a stderr
# a test may have redirected: any such file fails the run. g++'s UBSan,
# linked beside ASan, ignores log_path and prints to stderr, so the output is
# searched as well; -fno-sanitize-recover also makes its process fail.
# Leaks are checked (detect_leaks=1) with Qt and its plugins as they are: the
# offscreen platform, fontconfig and GLib leave nothing that LSan reports
# once the window tests end, so no suppressions are needed.
mkdir -p "$work/reports"
export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:detect_stack_use_after_return=1:log_path=$work/reports/asan"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

status=0
times=()
run() {
  local name="$1" started rc=0 reported=""
  shift
  started="$(now)"
  (cd "$build" && "$@") >"$work/$name.log" 2>&1 || rc=$?
  times+=("$name $(since "$started")")
  if grep -q -e 'ERROR: AddressSanitizer' -e 'ERROR: LeakSanitizer' -e 'runtime error:' "$work/$name.log"; then
    reported=1
  fi
  if [ "$rc" -eq 0 ] && [ -z "$reported" ]; then
    echo "== $name: passed"
    return
  fi
  if [ "$rc" -eq 77 ] && [ -z "$reported" ]; then  # CTest's "skipped": a tool is missing
    echo "== $name: skipped: $(tail -n1 "$work/$name.log")"
    return
  fi
  status=1
  echo "== $name: FAILED (exit code $rc${reported:+, sanitizer report})"
  if [ -n "$reported" ]; then
    grep -A30 -e 'ERROR: AddressSanitizer' -e 'ERROR: LeakSanitizer' -e 'runtime error:' "$work/$name.log" | head -80
  else
    tail -60 "$work/$name.log"
  fi
}
run core_tests ./velmora_core_tests --gtest_brief=1
QT_QPA_PLATFORM=offscreen run ui_tests ./velmora_ui_tests
if [ -n "${VELMORA_SANITIZE_E2E:-}" ]; then
  export VELMORA_TEST_PORTAL="$build/velmora_test_portal"
  run e2e_xvfb "$root/tests/e2e/xvfb_test.sh" "$build/velmora"
  run e2e_undo "$root/tests/e2e/undo_test.sh" "$build/velmora" "$build/velmora-undo" "$root/packaging/velmora.desktop"
  run e2e_chooser "$root/tests/e2e/chooser_test.sh" "$build/velmora"
  run wm_xfwm4 "$root/tests/wm/x11_wm_test.sh" "$build/velmora" xfwm4
  run wm_wayland "$root/tests/wm/wayland_test.sh" "$build/velmora"
fi

if compgen -G "$work/reports/*" >/dev/null; then
  status=1
  echo "== sanitizer reports:"
  for report in "$work/reports"/*; do
    echo "--- $(basename "$report")"
    head -80 "$report"
  done
fi
printf -v ran '%s, ' "${times[@]}"
echo "== times (s): build $t_build, ${ran}total $(since "$t_start")"
exit "$status"
