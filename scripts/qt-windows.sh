#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (qtbase: Core, Gui, Widgets and the windows
# platform plugin) from Debian's source package of the same Qt as the host's,
# with the posix-threads mingw-w64 compiler and the host's own Qt tools (moc,
# rcc, uic). The result is cached and reused:
#
#   scripts/qt-windows.sh          build into the cache unless it is there; print its folder
#   VELMORA_QT_WINDOWS=dir ...     use another cache folder
#
# Takes about 15 minutes on two cores, once; about 1 GB while building and
# 60 MB when done. Prints the install folder as its last line.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
. "$root/scripts/lib.sh"
t_start="$(now)"

version=6.4.2
cache="${XDG_CACHE_HOME:-$HOME/.cache}/velmora"
prefix="${VELMORA_QT_WINDOWS:-$cache/qt-$version-mingw64}"
jobs="${VELMORA_JOBS:-2}"

# The least Qt that serves the window: no OpenGL, Vulkan, D-Bus, SQL, network,
# XML, concurrency, printing, test library, tools, examples or tests; PNG is
# the one image format (the picture buttons' 2x images). No tablet events:
# Debian's source leaves out the Wintab headers that Windows' tablet support
# needs.
qt_features=(
  -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF
  -DQT_GENERATE_SBOM=OFF
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_opengles2=OFF -DFEATURE_opengl_dynamic=OFF
  -DFEATURE_opengl_desktop=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_dbus=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_xml=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_printsupport=OFF -DFEATURE_testlib=OFF
  -DFEATURE_sql_sqlite=OFF -DFEATURE_zstd=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  -DFEATURE_imageformatplugin=OFF
  -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_freetype=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_icu=OFF -DFEATURE_glib=OFF
  -DFEATURE_tabletevent=OFF
  -DFEATURE_pkg_config=OFF
)
# A cached Qt is used only when it was built from the host's Qt source (a
# security fix changes it) with these features.
qt_stamp() {
  echo "$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null)" \
       "$(printf '%s\n' "${qt_features[@]}" | sha256sum | cut -c1-16)"
}

if [ "$(cat "$prefix/.velmora-complete" 2>/dev/null)" = "$(qt_stamp)" ]; then
  echo "== Qt $version for Windows: cached in $prefix"
  echo "$prefix"
  exit 0
fi

# ------------------------------------------------------------------ packages
missing=()
command -v x86_64-w64-mingw32-g++-posix >/dev/null || missing+=(g++-mingw-w64-x86-64-posix)
command -v ninja >/dev/null || missing+=(ninja-build)
command -v dpkg-source >/dev/null || missing+=(dpkg-dev)
command -v xz >/dev/null || missing+=(xz-utils)
# The host tools must be those of the same version.
[ -x /usr/lib/qt6/libexec/moc ] || missing+=(qt6-base-dev-tools)
[ -f /usr/lib/x86_64-linux-gnu/cmake/Qt6/Qt6Config.cmake ] || missing+=(qt6-base-dev)
if [ "${#missing[@]}" -gt 0 ]; then install_packages "${missing[@]}"; fi
host_version="$(dpkg-query -W -f='${Version}' qt6-base-dev)"
case "$host_version" in
  "$version"+*) ;;
  *) echo "qt-windows: the host's Qt is $host_version, this script builds $version" >&2; exit 1 ;;
esac

# ------------------------------------------------------------------ sources
# Debian's source package: upstream's qtbase with Debian's security fixes.
src_root="$cache/src"
src="$src_root/qtbase-everywhere-src-$version"
if [ "$(cat "$src/.velmora-unpacked" 2>/dev/null)" != "$host_version" ]; then
  sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
  # The host's Qt may come from an update or a security fix: the same suites
  # as the binary packages.
  if ! apt-get source --print-uris "qt6-base=$host_version" 2>/dev/null | grep -q '\.dsc'; then
    echo "== adding Debian's source packages (deb-src bookworm, its updates and security fixes)"
    $sudo tee /etc/apt/sources.list.d/velmora-deb-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
    $sudo apt-get update -qq
  fi
  rm -rf "$src_root"
  mkdir -p "$src_root"
  (cd "$src_root" && apt-get source -qq --download-only "qt6-base=$host_version" \
     && dpkg-source --no-check -x ./*.dsc "$src" >/dev/null)
  echo "$host_version" >"$src/.velmora-unpacked"
fi

# ------------------------------------------------------------------ build
build="$cache/build-qt-$version-mingw64"
# A build that stopped part way goes on where it stopped.
rm -rf "$prefix"
echo "== configuring Qt $version for Windows in $build"
cmake -S "$src" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  "${qt_features[@]}" \
  > "$build.configure.log" 2>&1 || { tail -60 "$build.configure.log" >&2; exit 1; }
t_configure="$(since "$t_start")"
echo "== building Qt (configured in ${t_configure} s)"
nice cmake --build "$build" -j"$jobs" > "$build.build.log" 2>&1 \
  || { tail -60 "$build.build.log" >&2; exit 1; }
cmake --install "$build" > "$build.install.log" 2>&1 \
  || { tail -30 "$build.install.log" >&2; exit 1; }
qt_stamp >"$prefix/.velmora-complete"
# The build folder is large and only needed to build again.
rm -rf "$build"
echo "== Qt $version for Windows built in $(since "$t_start") s"
echo "$prefix"
