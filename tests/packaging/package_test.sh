#!/usr/bin/env bash
# Builds the .deb packages with cpack (the programs' zkf780a and the libraries' zkf780a-dev),
# checks their file lists and dependencies, installs the programs' package with dpkg into a
# scratch root, and runs lintian on it when lintian is present (errors fail the test).
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
(cd "$tmp" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >/dev/null)
deb=$(ls "$tmp"/out/zkf780a_*.deb)
dev=$(ls "$tmp"/out/zkf780a-dev_*.deb)
echo "packages: $(basename "$deb") $(basename "$dev")"
dpkg-deb -c "$dev" | awk '{print $6}' | sed 's|^\./|/|' > "$tmp/dev-files"
for f in /usr/include/XVclUtil/ini/TXIniFile.h /usr/lib/cmake/ZKF780A/ZKF780AConfig.cmake; do
  grep -qx "$f" "$tmp/dev-files" || { echo "missing from the -dev package: $f"; exit 1; }
done
if grep -q '^/usr/bin/' "$tmp/dev-files"; then echo "programs in the -dev package"; exit 1; fi

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$tmp/files"
for f in /usr/bin/zkf780a /usr/bin/zkf780a-editor /usr/bin/zkf780a-gatewaysim \
         /usr/share/zkf780a/DefaultImage/ /usr/share/applications/zkf780a-editor.desktop \
         /usr/share/mime/packages/zkf780a.xml /usr/share/man/man1/zkf780a.1.gz \
         /usr/share/doc/zkf780a/copyright /usr/share/doc/zkf780a/changelog.gz \
         /usr/share/bash-completion/completions/zkf780a; do
  grep -qx "$f" "$tmp/files" || { echo "missing from the package: $f"; exit 1; }
done
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libc6 libstdc++6 libqt6widgets6; do
  grep -q "$lib" <<<"$depends" || { echo "dependency $lib not found"; exit 1; }
done

root=$tmp/root
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root --force-script-chrootless \
     --log=/dev/null -i "$deb" >/dev/null 2>&1
dpkg --root="$root" -s zkf780a | grep -q "Status: install ok installed"
"$root/usr/bin/zkf780a" --version

if command -v lintian >/dev/null; then
  lintian --tag-display-limit 0 "$deb" 2>/dev/null | tee "$tmp/lintian" || true
  if grep -q '^E:' "$tmp/lintian"; then echo "lintian reports errors"; exit 1; fi
else
  echo "lintian not installed: package not linted"
fi
