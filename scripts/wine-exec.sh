#!/bin/bash
# Runs one Windows program under the project's Wine prefix (ctest's command
# for every test executable). Outside `make test` it finds the prefix from
# the program's place: BUILD_DIR/<arch>/bin/program.exe.
set -u
if [ -z "${WINEPREFIX:-}" ]; then
    BUILD_DIR="$(cd "$(dirname "$1")/../.." && pwd)"
    . "$(dirname "$0")/wine-env.sh"
fi
exec wine "$@"
