# shellcheck shell=sh
# What the install scripts share: a work folder that goes away on exit, the
# build's install manifests put back as they were (every install and cpack
# run rewrites them, and the person's own install must stay listed), failures
# counted, and the closing verdict.
# Sourced by sh scripts: . "$(dirname "$0")/../lib/install.sh"
# It only defines; nothing runs until a script calls it.

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Run first on exit; a script that starts programs redefines it to end them.
install_before_cleanup() { :; }

# Makes $work and keeps the manifests of BUILD that match GLOB, to put them
# back on exit: those the script's installs leave behind are removed.
# Usage: install_setup BUILD GLOB
install_setup() {
  work="$(mktemp -d)"
  install_build="$1"
  install_manifests="$2"
  mkdir "$work/manifests"
  for kept in "$install_build"/$install_manifests; do
    [ -f "$kept" ] && cp -p "$kept" "$work/manifests/"
  done
  trap install_cleanup EXIT
}

install_cleanup() {
  install_before_cleanup
  # shellcheck disable=SC2086 # a glob, expanded on purpose
  rm -f "$install_build"/$install_manifests
  for kept in "$work/manifests"/*; do
    [ -f "$kept" ] && cp -p "$kept" "$install_build/"
  done
  rm -rf "$work"
}

# Ends the script: "WHAT: PASSED" and 0 when no check failed, otherwise the
# count and 1. Usage: install_verdict WHAT PASSED
install_verdict() {
  if [ "$failures" -eq 0 ]; then
    echo "$1: $2"
    exit 0
  fi
  echo "$1: $failures check(s) failed"
  exit 1
}
