#!/usr/bin/env bash
# The end-of-program rule that every Xvfb script relies on (xvfb.sh's finish):
# a program that ends with a code other than 0, or prints a sanitizer report,
# fails its case; --any-exit leaves the code to the caller; a clean end
# passes. Stand-in programs only: no X server is needed.
set -uo pipefail
. "$(dirname "$0")/xvfb.sh"
make_work

# Runs a stand-in program (the shell command $1) as launch would, then
# finish with the rest of the arguments in a case of its own; prints whether
# that case failed. Called in $(...), so no count outlives it.
case_fails() {
  local program="$1"
  shift
  (exec sh -c "$program" >"$work/app.log" 2>&1) &
  app_pid=$!
  local before="$failed"
  begin "stand-in"
  finish "$@" >/dev/null
  end_case
  [ "$failed" != "$before" ] && echo yes || echo no
}

problems=0
expect() {
  local want="$1" what="$2"
  shift 2
  local got
  got="$(case_fails "$@")"
  [ "$got" = "$want" ] || { echo "FAIL: $what: failed=$got, expected $want"; problems=$((problems + 1)); }
}
expect no "a clean end" 'exit 0'
expect yes "exit code 3" 'exit 3'
expect no "exit code 3 with --any-exit" 'exit 3' --any-exit
expect yes "an ASan report" 'echo "==1==ERROR: AddressSanitizer: heap-use-after-free" >&2'
expect yes "a UBSan report" 'echo "a.cpp:3:9: runtime error: signed integer overflow"'
expect yes "a leak report, with --any-exit" 'echo "==1==ERROR: LeakSanitizer: detected memory leaks"; exit 23' --any-exit

# The code is still there for the caller to read.
(exec sh -c 'exit 5' >"$work/app.log" 2>&1) &
app_pid=$!
finish --any-exit
[ "$status" = 5 ] || { echo "FAIL: \$status is '$status', expected 5"; problems=$((problems + 1)); }

[ "$problems" = 0 ] && echo "finish: all checks passed"
[ "$problems" = 0 ]
