#!/usr/bin/env bash
# Installs the libraries' component into a scratch prefix, builds examples/ini-consumer against
# that prefix alone (find_package(ZKF780A)), and reads a settings value with it.
set -euo pipefail
build=$1
consumer=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" --component dev >/dev/null
for t in ini serial jknet disk rom link; do
  grep -q "ZKF780A::$t " "$prefix"/lib/cmake/ZKF780A/ZKF780ATargets.cmake ||
    { echo "ZKF780A::$t is not in the package"; exit 1; }
done
[ -f "$prefix/lib/cmake/ZKF780A/ZKF780AConfigVersion.cmake" ] || { echo "no version file"; exit 1; }
[ -f "$prefix/include/XVclUtil/ini/TXIniFile.h" ] || { echo "headers not installed"; exit 1; }
# Private headers stay private.
[ ! -e "$prefix/include/XVclUtil/disk/AbsDiskLinuxFamily.h" ] || { echo "private header installed"; exit 1; }

cmake -S "$consumer" -B "$tmp/out" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF >"$tmp/configure.log" 2>&1 || { cat "$tmp/configure.log"; exit 1; }
cmake --build "$tmp/out" >"$tmp/build.log" 2>&1 || { cat "$tmp/build.log"; exit 1; }
printf '[COMPORT]\r\nCOM1=/dev/ttyUSB0\r\n' >"$tmp/settings.ini"
value=$("$tmp/out/ini-consumer" "$tmp/settings.ini" COMPORT COM1)
[ "$value" = "/dev/ttyUSB0" ] || { echo "read \"$value\""; exit 1; }
echo "ini-consumer read COM1=$value through the installed ZKF780A::ini"
