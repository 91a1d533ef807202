#!/bin/bash
# `make bench`: runs every benchmark program under Wine and prints its figures.
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb || exit 1
status=0
for arch in x86 x64; do
    list="$BUILD_DIR/$arch/benches.txt"
    [ -f "$list" ] || continue
    while read -r bench; do
        [ -n "$bench" ] || continue
        echo "== $(basename "$bench")"
        (cd "$(dirname "$bench")" && wine "$bench") || status=1
    done < "$list"
done
exit $status
