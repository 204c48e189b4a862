#!/usr/bin/env bash
# Builds the core's fuzz targets (fuzz/*_fuzz.cpp) with clang's libFuzzer,
# AddressSanitizer and UBSan, and runs each for a bounded time on a copy of
# its seed corpus. Fails when a target crashes, breaks one of its properties,
# leaks, or takes too long on one input; the input that did it is kept in
# build-fuzz/fuzz-artifacts.
#
#   scripts/fuzz.sh                     install what is missing, build, run
#   VELMORA_FUZZ_SECONDS=300 scripts/fuzz.sh   fuzz longer (30 s per target by default)
#   VELMORA_FUZZ_MAX_LEN=65536 ...      longer inputs (4096 bytes by default)
#   VELMORA_FUZZ_BUILD=dir ...          build somewhere else than build-fuzz
#   scripts/fuzz.sh codec title         only the targets named
#
# Installs (about 60 MB on Debian 12): clang and its runtime libraries.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_FUZZ_BUILD:-$root/build-fuzz}"
seconds="${VELMORA_FUZZ_SECONDS:-30}"
max_len="${VELMORA_FUZZ_MAX_LEN:-4096}"
jobs="${VELMORA_JOBS:-2}"
targets=("$@")
[ "${#targets[@]}" -gt 0 ] || targets=(name_functions title undo_log word_list codec)

. "$root/scripts/lib.sh"
t_start="$(now)"

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# ------------------------------------------------------------------ packages
# A one-line fuzzer that links tells that both clang and libFuzzer are there.
t_phase="$(now)"
can_fuzz() {
  command -v clang++ >/dev/null &&
    echo 'extern "C" int LLVMFuzzerTestOneInput(const char*, unsigned long) { return 0; }' >"$work/probe.cpp" &&
    clang++ -fsanitize=fuzzer,address,undefined "$work/probe.cpp" -o "$work/probe" 2>/dev/null
}
missing=()
can_fuzz || missing+=(clang libclang-rt-dev)
command -v cmake >/dev/null || missing+=(cmake)
if [ "${#missing[@]}" -gt 0 ]; then
  install_packages "${missing[@]}"
  can_fuzz || { echo "clang++ -fsanitize=fuzzer still fails to link"; exit 1; }
fi
t_install="$(since "$t_phase")"

# ------------------------------------------------------------------ build
# Only the core and the fuzz targets: no Qt, no test or benchmark programs.
t_phase="$(now)"
generator=()
if command -v ninja >/dev/null; then generator=(-G Ninja); fi
if ! grep -qx 'VELMORA_FUZZ:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" "${generator[@]}" \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMORA_FUZZ=ON -DVELMORA_DEVELOPER_WARNINGS=ON \
    -DVELMORA_BUILD_UI=OFF -DVELMORA_BUILD_TESTS=OFF -DVELMORA_BUILD_BENCH=OFF >/dev/null
fi
cmake --build "$build" -j"$jobs" --target "${targets[@]/%/_fuzz}"
t_build="$(since "$t_phase")"

# ------------------------------------------------------------------ run
# Each target fuzzes a copy of its seeds, so that what it finds never lands
# in the repository; its scratch files go to a temporary folder of its own.
# -timeout: one input taking that long fails the run (a hang, or work that
# grows much faster than the input).
artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
run_target() {
  local name="$1" started
  started="$(now)"
  mkdir -p "$work/$name/corpus" "$work/$name/tmp"
  cp "$root/fuzz/corpus/$name/"* "$work/$name/corpus/"
  local rc=0
  TMPDIR="$work/$name/tmp" "$build/${name}_fuzz" -max_total_time="$seconds" -max_len="$max_len" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$artifacts/${name}-" \
    "$work/$name/corpus" >"$work/$name.log" 2>&1 || rc=$?
  echo "$rc $(since "$started")" >"$work/$name.rc"
}
t_phase="$(now)"
running=0
for name in "${targets[@]}"; do
  if [ "$running" -ge "$jobs" ]; then
    wait -n
    running=$((running - 1))
  fi
  run_target "$name" &
  running=$((running + 1))
done
wait

status=0
for name in "${targets[@]}"; do
  read -r rc took <"$work/$name.rc"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/$name.log")"
  if [ "$rc" -eq 0 ]; then
    echo "== ${name}_fuzz: ok, ${runs:-?} inputs in $took s"
  else
    status=1
    echo "== ${name}_fuzz: FAILED (exit code $rc) after $took s"
    grep -v -e '^#[0-9]' -e '^INFO:' -e '^"' -e 'Uses: ' "$work/$name.log" | tail -40
    echo "   reproduce: $build/${name}_fuzz $artifacts/${name}-<crash|timeout|leak|oom>-..."
  fi
done
echo "== times (s): install $t_install, build $t_build, fuzz $(since "$t_phase") (${seconds} s per target," \
     "$jobs at a time), total $(since "$t_start")"
exit "$status"
