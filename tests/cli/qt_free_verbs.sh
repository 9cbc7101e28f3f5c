#!/bin/sh
# The command-line tool runs without Qt: its binary needs no libQt (ldd), and running its
# Qt-free verbs loads none (LD_DEBUG=libs lists every library the dynamic loader brings in,
# dlopen included). sample-data and inspect --png belong to the Qt companion program.
# Usage: qt_free_verbs.sh ZKF780A_EXECUTABLE
set -u
exe=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

if ldd "$exe" | grep -i 'libQt'; then
    echo "FAIL: $exe is linked against Qt" >&2
    status=1
fi

# Each line: the verb's arguments. Help texts, a listing, and verbs that fail on a missing
# file all run the verb's own code far enough to load what it needs.
cat > "$work/runs" <<'RUNS'
--help
--version
build --help
build missing.zkf -C .
inspect --help
inspect missing.rom
upload --help
upload missing.rom --port /dev/null-no-such-port
upgrade-ap --help
timesync --help
timesync --port /dev/null-no-such-port
simulate-controller --help
ports
disk --help
RUNS
while read -r args; do
    # shellcheck disable=SC2086 # the arguments are split on purpose
    (cd "$work" && LD_DEBUG=libs LD_DEBUG_OUTPUT="$work/ld" "$exe" $args >/dev/null 2>&1)
    if cat "$work"/ld.* 2>/dev/null | grep -q 'libQt'; then
        echo "FAIL: zkf780a $args loaded Qt:" >&2
        cat "$work"/ld.* | grep -o '[^ ]*libQt[^ ]*' | sort -u >&2
        status=1
    fi
    rm -f "$work"/ld.*
done < "$work/runs"
[ $status -eq 0 ] && echo "zkf780a runs without Qt"
exit $status
