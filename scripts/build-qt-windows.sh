#!/usr/bin/env bash
# Cross-builds Qt 6 for Windows (x86-64, MinGW-w64 posix threads) from Debian's own qt6-base
# source package, into a cache folder outside the checkout. Prints the install prefix on its last
# line. Does nothing but print it when that prefix already holds a complete install.
#
#   scripts/build-qt-windows.sh            build when missing, print the prefix
#   scripts/build-qt-windows.sh --prefix   only print the prefix it would use
#
# The cache lives in $ZKF_QT_CACHE (default: ${XDG_CACHE_HOME:-$HOME/.cache}/zkf780a); the
# prefix is named by the Qt version and a hash of this script and its patches, so a change to
# either builds anew beside the old one.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
patches="$here/qt-windows-patches"
qt_version=6.4.2
cache=${ZKF_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/zkf780a}
shopt -s nullglob
hash=$(cat "$0" "$patches"/*.patch | sha256sum | cut -c1-12)
prefix="$cache/qt-$qt_version-mingw64-$hash"

if [ "${1:-}" = "--prefix" ]; then
  echo "$prefix"
  exit 0
fi
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# Host Qt (moc, uic, rcc of the same version), the cross compiler and the tools apt-get source
# needs.
"$here/install-deps.sh" "$here/packages.txt" "$here/packages-windows.txt"

# apt-get source needs a deb-src entry for the suite the machine runs.
if ! apt-get source --print-uris qt6-base >/dev/null 2>&1; then
  echo "adding a deb-src entry for Debian's own suites"
  src=/etc/apt/sources.list.d/zkf780a-deb-src.sources
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo tee "$src" >/dev/null
  else
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' | $sudo tee "${src%.sources}.list" >/dev/null
  fi
  $sudo apt-get update -q
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zkf-qt-windows.XXXXXX")
trap 'if [ $? -eq 0 ]; then rm -rf "$work"; else echo "build folder kept: $work" >&2; fi' EXIT
start=$(date +%s)
(cd "$work" && apt-get source -q qt6-base >/dev/null)
src=$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n 1)
[ -n "$src" ] || { echo "apt-get source qt6-base gave no source folder" >&2; exit 1; }
for p in "$patches"/*.patch; do
  [ -e "$p" ] || continue
  echo "applying $(basename "$p")"
  patch -d "$src" -p1 -s <"$p"
done

# Qt's installed qt.toolchain.cmake remembers the toolchain file by path: keep a copy in the
# cache beside the prefix, so the checkout may move.
mkdir -p "$cache"
toolchain="$prefix.toolchain.cmake"
cat >"$toolchain" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF

# Only what the editor, its companion and their tests use: Core, Gui, Widgets, Test, the
# windows and offscreen platforms and the Windows style. Third-party libraries are the ones
# bundled in the source, so the DLLs need nothing beyond the system's own.
off=(dbus sql network concurrent xml printsupport vulkan icu glib fontconfig opengles2
  tabletevent sql_sqlite libudev openssl zstd)
bundled=(zlib pcre2 png jpeg harfbuzz freetype doubleconversion libb2 libmd4c)
args=()
for f in "${off[@]}"; do args+=("-DFEATURE_$f=OFF"); done
for f in "${bundled[@]}"; do args+=("-DFEATURE_system_$f=OFF"); done

cmake -G Ninja -S "$src" -B "$work/build" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DINPUT_opengl=no \
  "${args[@]}" >"$work/configure.log" || { tail -n 40 "$work/configure.log" >&2; exit 1; }
# The build runs at low priority: on a 2-core machine the rest of the test command goes on beside it.
echo "building Qt $qt_version for Windows in $work (about 25 CPU minutes)"
nice -n 10 cmake --build "$work/build" --parallel "$(nproc)" >"$work/build.log" 2>&1 ||
  { grep -A 20 FAILED "$work/build.log" | head -n 60 >&2; echo "Qt build failed" >&2; exit 1; }
rm -rf "$prefix"
cmake --install "$work/build" >/dev/null
printf 'qt %s\nbuilt in %s s\n' "$qt_version" "$(($(date +%s) - start))" >"$prefix/.complete"
echo "$prefix"
