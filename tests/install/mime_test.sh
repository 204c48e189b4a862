#!/bin/sh
# Installing Velmora must never make it the program that opens a file type.
# Installs the build for a person with a fresh home folder, as
# `cmake --install build --prefix ~/.local` does, then asks the desktop's own
# tools which program opens a text file, a web page and a file of no known
# type: once with a text editor installed on the system, once with none.
# The per-user folders come first in every lookup, so a type claimed there
# would win over the system's editor.
# Usage: mime_test.sh CMAKE BUILD_DIR
set -u
cmake="$1"
build="$2"

if ! command -v xdg-mime >/dev/null; then
  echo "SKIP: xdg-mime not found (Debian package xdg-utils)"
  exit 77
fi

# shellcheck source=tests/lib/install.sh
. "$(dirname "$0")/../lib/install.sh"
# Every install rewrites the build's install_manifest.txt: keep the one that
# lists the person's own install.
install_setup "$build" install_manifest.txt

home="$work/home"
mkdir -p "$home" "$work/etc-xdg" "$work/no-system/applications" "$work/system/applications"

# A text editor of the system's, claiming plain text only.
cat >"$work/system/applications/other-editor.desktop" <<'EOF'
[Desktop Entry]
Type=Application
Name=Other Editor
Exec=true %f
MimeType=text/plain;
EOF
if command -v update-desktop-database >/dev/null; then
  update-desktop-database -q "$work/system/applications"
fi

# Nothing of this machine's or this session's settings takes part. The
# person's PATH holds ~/.local/bin: GLib offers no program it cannot find.
in_session() {
  env -i PATH="$home/.local/bin:$PATH" HOME="$home" LANG=C.UTF-8 \
    XDG_DATA_HOME="$home/.local/share" XDG_CONFIG_HOME="$home/.config" \
    XDG_CONFIG_DIRS="$work/etc-xdg" XDG_DATA_DIRS="$system" "$@"
}

system="$work/no-system"
in_session "$cmake" --install "$build" --prefix "$home/.local" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; fail "cmake --install failed"; }
[ -f "$home/.local/share/applications/velmora.desktop" ] || fail "no menu entry installed"
if grep -q '^MimeType=' "$home/.local/share/applications/velmora.desktop" 2>/dev/null; then
  fail "the menu entry claims file types"
fi
if grep -q 'velmora\.desktop' "$home/.local/share/applications/mimeinfo.cache" 2>/dev/null; then
  fail "the per-user MIME cache lists velmora: $(grep velmora "$home/.local/share/applications/mimeinfo.cache")"
fi

# system folders | MIME type | the program that must open it ("-": none)
while read -r folders type want; do
  [ -n "$folders" ] || continue
  system="$work/$folders"
  [ "$want" = - ] && want=""

  got="$(in_session xdg-mime query default "$type" 2>"$work/err")"
  case "$got" in
    *velmora*) fail "$folders: xdg-mime opens $type with $got" ;;
    "$want") ;;
    *) fail "$folders: xdg-mime opens $type with '$got', expected '$want'" ;;
  esac

  # GLib's view, which GNOME Files and the portal follow; Velmora must not be
  # offered for the type at all, not even as a recommended program.
  if command -v gio >/dev/null; then
    out="$(in_session gio mime "$type" 2>&1)"
    case "$out" in
      *velmora*) fail "$folders: gio offers velmora for $type: $out" ;;
    esac
    default="$(printf '%s\n' "$out" | sed -n 's/^Default application for .*: //p')"
    [ "$default" = "$want" ] || fail "$folders: gio opens $type with '$default', expected '$want'"
  fi
done <<EOF
system text/plain other-editor.desktop
system text/html -
system application/octet-stream -
no-system text/plain -
no-system text/html -
no-system application/octet-stream -
EOF

install_verdict "file types" "no lookup answers velmora.desktop"
