#!/bin/bash
# `make dist`: what a user downloads. Orrivane-<version>.zip in the build
# folder holds the three programs and Readme.txt (Japanese, code page 932,
# CR LF, converted here from dist/Readme.txt), all at the top of the archive.
set -eu
cd "$(dirname "$0")/.."
: "${BUILD_DIR:=build}"
version=$(sed -n 's/^project(Orrivane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
stage="$BUILD_DIR/dist/Orrivane-$version"
zip="$(realpath -m "$BUILD_DIR/Orrivane-$version.zip")"
rm -rf "$stage" "$zip"
mkdir -p "$stage"
cp "$BUILD_DIR/x86/bin/ZAV.exe" "$BUILD_DIR/x86/bin/ZAVSet.exe" "$BUILD_DIR/x64/bin/Quillon64.exe" "$stage/"
# iconv fails on a character code page 932 cannot hold, rather than writing a "?".
iconv -f UTF-8 -t CP932 dist/Readme.txt | sed 's/$/\r/' > "$stage/Readme.txt"
(cd "$stage" && zip -q -X "$zip" ZAV.exe ZAVSet.exe Quillon64.exe Readme.txt)
echo "make-dist: $zip"
unzip -l "$zip"
