#!/usr/bin/env bash
# Renders docs/window.png from the real window, opened on a sample file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${TMPDIR:-/tmp}/velmora-docs.$$"
mkdir -p "$dir"
trap 'rm -rf "$dir"' EXIT
mkdir -p "$dir/Photos" "$dir/program"
sample="$dir/Photos/IMG_0001 holiday-at_the%20sea.jpg"
printf 'sample\n' > "$sample"
printf 'Invoice\r\nReport\r\nHoliday\r\n' > "$dir/program/words.txt"
QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}" "$root/build/velmora_grab" "${1:-$root/docs/window.png}" "$sample" "$dir/program"
echo "Wrote ${1:-$root/docs/window.png}"
