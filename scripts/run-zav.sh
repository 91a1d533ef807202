#!/bin/bash
# `make run`: starts ZAV.exe under Wine in a run folder under the build folder,
# with ZAVSet.exe and Quillon64.exe beside it, on $DISPLAY or on a private Xvfb
# when there is none. The run folder keeps the schedule between runs.
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
run="$BUILD_DIR/run"
mkdir -p "$run"
cp "$BUILD_DIR/x86/bin/ZAV.exe" "$BUILD_DIR/x86/bin/ZAVSet.exe" "$run/"
cp "$BUILD_DIR/x64/bin/Quillon64.exe" "$run/" 2>/dev/null || true
. scripts/xvfb.sh
if [ -z "${DISPLAY:-}" ]; then
    trap stop_xvfb EXIT
    start_xvfb || exit 1
    echo "run-zav: no DISPLAY, ZAV runs on a private Xvfb at $DISPLAY (Ctrl+C ends it)"
fi
echo "run-zav: starting ZAV.exe in $run"
cd "$run" && wine ZAV.exe
