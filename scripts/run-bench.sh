#!/bin/bash
# `make bench`: runs every benchmark program under Wine and prints its figures.
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb || exit 1
status=0

# The shipped programs' sizes: ZAV and ZAVSet are to stay within 200 KiB each.
echo "== program sizes"
for program in "$BUILD_DIR/x86/bin/ZAV.exe" "$BUILD_DIR/x86/bin/ZAVSet.exe" "$BUILD_DIR/x64/bin/Quillon64.exe"; do
    if [ ! -f "$program" ]; then
        echo "$(basename "$program"): missing"
        status=1
        continue
    fi
    bytes=$(stat -c %s "$program")
    goal=""
    case "$(basename "$program")" in
    ZAV.exe | ZAVSet.exe)
        goal=" (goal <= 200 KiB)"
        [ "$bytes" -le $((200 * 1024)) ] || { goal=" (OVER the 200 KiB goal)"; status=1; }
        ;;
    esac
    awk -v name="$(basename "$program")" -v bytes="$bytes" -v goal="$goal" \
        'BEGIN { printf "%-14s %7d bytes = %6.1f KiB%s\n", name, bytes, bytes / 1024, goal }'
done

# A private PulseAudio null sink gives Wine a sound device, so that the
# playback figure is taken while something really plays.
sink="$PWD/tests/e2e/with-null-sink.sh"
for arch in x86 x64; do
    list="$BUILD_DIR/$arch/benches.txt"
    [ -f "$list" ] || continue
    while read -r bench; do
        [ -n "$bench" ] || continue
        echo "== $(basename "$bench")"
        (cd "$(dirname "$bench")" && "$sink" wine "$bench") || status=1
    done < "$list"
done
exit $status
