#!/bin/bash
# Runs every test under Wine, headless, with one ctest summary for both trees.
#
# The entries run in lanes side by side (ORRIVANE_TEST_LANES, 2 by default):
# each lane is a Wine prefix and an Xvfb of its own, so two entries never
# share a window station, a tray, named objects, the registry or %TEMP%.
# ctest hands each Wine entry one free lane (its resource "wine", see
# tests/CMakeLists.txt); scripts/wine-exec.sh picks the lane's prefix and
# display. Lane 0 is $BUILD_DIR/wineprefix, lane n a copy of it in
# $BUILD_DIR/wineprefix-n. Each lane's wineserver is kept running for the
# whole run: a server that ends with every entry makes the next entry start
# Wine's services and desktop again.
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
. scripts/xvfb.sh
lanes=${ORRIVANE_TEST_LANES:-2}
stamp=.orrivane-prefix-v1
if [ ! -f "$WINEPREFIX/$stamp" ]; then
    echo "run-tests: no Wine prefix at $WINEPREFIX (make prefix)" >&2
    exit 1
fi

prefixes=()
xvfbs=()
stop_lanes() {
    local i
    for i in "${!xvfbs[@]}"; do
        WINEPREFIX="${prefixes[$i]}" XVFB_PID="${xvfbs[$i]}" stop_xvfb
    done
}
trap stop_lanes EXIT

resources=""
for ((lane = 0; lane < lanes; lane++)); do
    prefix="$WINEPREFIX"
    if ((lane > 0)); then
        prefix="$BUILD_DIR/wineprefix-$lane"
        # A copy of lane 0's prefix, made again when that one was made afresh.
        if [ ! -f "$prefix/$stamp" ] || [ "$WINEPREFIX/$stamp" -nt "$prefix/$stamp" ]; then
            rm -rf "$prefix"
            cp -a "$WINEPREFIX" "$prefix" || exit 1
        fi
    fi
    start_xvfb || exit 1
    prefixes+=("$prefix")
    xvfbs+=("$XVFB_PID")
    export "ORRIVANE_LANE${lane}_PREFIX=$prefix" "ORRIVANE_LANE${lane}_DISPLAY=$DISPLAY"
    # Persistent until stop_lanes; the first program starts the services and
    # the desktop with their output away from ctest's.
    WINEPREFIX="$prefix" wineserver -p
    WINEPREFIX="$prefix" wine cmd /c exit </dev/null >/dev/null 2>&1
    resources+="${resources:+,}{\"id\":\"$lane\",\"slots\":1}"
done
lanes_file="$BUILD_DIR/test-lanes.json"
printf '{"version":{"major":1,"minor":0},"local":[{"wine":[%s]}]}\n' "$resources" > "$lanes_file"

# One ctest run over both trees gives one summary; each entry takes a lane.
printf 'set(CTEST_RESOURCE_SPEC_FILE "%s")\nsubdirs("x86" "x64")\n' "$lanes_file" > "$BUILD_DIR/CTestTestfile.cmake"
ctest --test-dir "$BUILD_DIR" --output-on-failure -j "$lanes" ${CTEST_ARGS:-}
