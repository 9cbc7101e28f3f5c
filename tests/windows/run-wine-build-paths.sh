#!/usr/bin/env bash
# zkf780a.exe build with the paths a Windows user types: the project, -C, --program-dir and -o
# as "C:\...", "C:/..." and relative names, in a folder whose name is outside ASCII. Each build
# must write the image the native build writes from the same folder, byte for byte, and print
# the image's path with backslashes only.
# usage: run-wine-build-paths.sh WIN_ZKF780A NATIVE_ZKF780A
set -euo pipefail
: "${WINEPREFIX:?the windows test preset sets WINEPREFIX}"
export WINEDEBUG=${WINEDEBUG:--all}
exe=$1 cli=$2
if [ ! -x "$cli" ]; then
  echo "no native zkf780a at $cli: build the default preset first"
  exit 77
fi
[ -d "$WINEPREFIX/drive_c" ] || { echo "no Wine prefix: run scripts/wine-prefix.sh"; exit 77; }

user="zkf780a-paths-$$"
root="$WINEPREFIX/drive_c/users/$user"
trap 'rm -rf "$root"' EXIT
work="$root/Lift Pläne"
win_root="C:\\users\\$user"
win_work="$win_root\\Lift Pläne"
# The default picture tree beside the native program serves both builds.
prog=$(cd "$(dirname "$cli")" && pwd)
win_prog="Z:${prog//\//\\}"
"$cli" sample-data "$work" >/dev/null
"$cli" build "$work/demo.zkf" -C "$work" --program-dir "$prog" -o "$root/native.rom" >/dev/null 2>&1

check() { # check NAME LOG: the image equals the native one; its printed path has no "/"
  local name=$1 log=$2
  cmp "$root/native.rom" "$root/$name" || { echo "$name differs:"; cat "$log"; exit 1; }
  local line
  line=$(grep -a "^ROM image: " "$log" | tr -d '\r')
  case "$line" in
  *"C:\\users\\$user\\$name") ;;
  *) echo "$name: printed path \"$line\" is not \"$win_root\\$name\""; cat "$log"; exit 1 ;;
  esac
  echo "$name: same image; $line"
}

# Backslashes everywhere, as Explorer's address bar gives them.
wine "$exe" build "$win_work\\demo.zkf" -C "$win_work" --program-dir "$win_prog" \
  -o "$win_root\\out1.rom" >"$root/out1.log" 2>&1 || { cat "$root/out1.log"; exit 1; }
check out1.rom "$root/out1.log"
# Forward slashes.
wine "$exe" build "C:/users/$user/Lift Pläne/demo.zkf" -C "C:/users/$user/Lift Pläne" \
  --program-dir "$win_prog" -o "C:/users/$user/out2.rom" >"$root/out2.log" 2>&1 ||
  { cat "$root/out2.log"; exit 1; }
check out2.rom "$root/out2.log"
# Relative names, taken in the folder the command starts in.
(cd "$root" && wine "$exe" build "Lift Pläne\\demo.zkf" -C "Lift Pläne" --program-dir "$win_prog" \
  -o out3.rom >"$root/out3.log" 2>&1) || { cat "$root/out3.log"; exit 1; }
check out3.rom "$root/out3.log"
