# shellcheck shell=bash
# What the build-and-check scripts share: timing their phases and installing
# the Debian packages they miss. Sourced: . "$(dirname "$0")/lib.sh"

now() { date +%s.%N; }
# Seconds since the time $1 (from now), with one decimal.
since() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f", b - a }'; }

# Installs the packages named, without their recommends (sudo when not root);
# nothing when none is named.
install_packages() {
  [ "$#" -gt 0 ] || return 0
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  export DEBIAN_FRONTEND=noninteractive
  echo "== installing: $*"
  local apt=($sudo apt-get -o DPkg::Lock::Timeout=600)  # another install may hold the lock
  "${apt[@]}" update -qq
  "${apt[@]}" install -y -qq --no-install-recommends "$@" >/dev/null
}
