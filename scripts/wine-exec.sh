#!/bin/bash
# Runs one Windows program under the project's Wine prefix (ctest's command
# for every test executable). Outside `make test` it finds the prefix from
# the program's place: BUILD_DIR/<arch>/bin/program.exe.
set -u
# Under scripts/run-tests.sh ctest gives the entry a lane
# ("id:<lane>,slots:1"): that lane's prefix and display.
lane="${CTEST_RESOURCE_GROUP_0_WINE:-}"
if [ -n "$lane" ]; then
    lane="${lane#id:}"
    lane="${lane%%,*}"
    prefix="ORRIVANE_LANE${lane}_PREFIX"
    display="ORRIVANE_LANE${lane}_DISPLAY"
    export WINEPREFIX="${!prefix}" DISPLAY="${!display}"
fi
if [ -z "${WINEPREFIX:-}" ]; then
    BUILD_DIR="$(cd "$(dirname "$1")/../.." && pwd)"
    . "$(dirname "$0")/wine-env.sh"
fi
exec wine "$@"
