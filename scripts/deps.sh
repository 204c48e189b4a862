#!/usr/bin/env bash
# Installs what Velmora needs to build, test and run, from Debian/Ubuntu packages.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2046
$sudo apt-get install -y -qq --no-install-recommends $(grep -v '^#' "$here/packages.txt")
