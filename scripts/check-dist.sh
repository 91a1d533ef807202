#!/bin/bash
# Checks the zip of `make dist` as a user meets it: unzipped into an empty
# folder, ZAV.exe starts under Wine, finds no schedule, has ZAVSet write the
# tutorial schedule and shows its first start-up message. ZAV is then ended
# by its process id (its start-up boxes wait for clicks nobody gives here).
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
. scripts/xvfb.sh
version=$(sed -n 's/^project(Orrivane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip="$BUILD_DIR/Orrivane-$version.zip"
[ -f "$zip" ] || { echo "check-dist: no $zip" >&2; exit 1; }
folder="$BUILD_DIR/dist-check"
rm -rf "$folder"
mkdir -p "$folder"
unzip -q "$zip" -d "$folder"
trap 'stop_xvfb' EXIT
start_xvfb || exit 1

(cd "$folder" && exec wine ZAV.exe) &
zav=$!
tutorial=tests/schedule/data/initial-schedule-cp932.txt
ok=0
for _ in $(seq 1 300); do
    # The tutorial written whole, and ZAV showing its first start-up message
    # (a box captioned "Orrivane").
    if cmp -s "$folder/Zavbell.txt" "$tutorial" && xdotool search --onlyvisible --name '^Orrivane$' >/dev/null 2>&1; then
        ok=1
        break
    fi
    kill -0 "$zav" 2>/dev/null || break
    sleep 0.1
done
kill "$zav" 2>/dev/null
wait "$zav" 2>/dev/null
if [ "$ok" = 1 ]; then
    echo "check-dist: ZAV.exe from $(basename "$zip") started the tutorial in an empty folder"
    rm -rf "$folder"
    exit 0
fi
echo "check-dist: FAILED: ZAV.exe from $(basename "$zip") did not start the tutorial in $folder" >&2
exit 1
