#!/bin/bash
# Configures and builds both trees: x86 (ZAV, ZAVSet, their tests) and x64
# (Quillon64 and its tests). A second run only rebuilds what changed.
set -eu
cd "$(dirname "$0")/.."
: "${BUILD_DIR:=build}"
jobs=$(nproc)
for arch in x86 x64; do
    dir="$BUILD_DIR/$arch"
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake --preset "$arch" -B "$dir" >/dev/null
    fi
    cmake --build "$dir" -j "$jobs" -- --no-print-directory
done
