#!/bin/bash
# Runs every test under Wine, headless, with one ctest summary for both trees.
set -u
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
. scripts/xvfb.sh
trap stop_xvfb EXIT
start_xvfb || exit 1
# One ctest run over both trees gives one summary.
printf 'subdirs("x86" "x64")\n' > "$BUILD_DIR/CTestTestfile.cmake"
ctest --test-dir "$BUILD_DIR" --output-on-failure ${CTEST_ARGS:-}
