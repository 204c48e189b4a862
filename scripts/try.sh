#!/usr/bin/env bash
# Opens the built window on FILE, or on a sample file made for the purpose.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
file="${1:-}"
if [ -z "$file" ]; then
  dir="$(mktemp -d "${TMPDIR:-/tmp}/velmora-sample.XXXXXX")"
  file="$dir/IMG_0001 holiday-at_the%20sea.jpg"
  printf 'sample\n' > "$file"
  echo "Sample file: $file"
fi
exec "$root/build/velmora" "$file"
