# Sourced by the other scripts: the environment of the project's Wine prefix.
# BUILD_DIR must be set (the build folder, "build" by default).
: "${BUILD_DIR:=build}"
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$(pwd)/$BUILD_DIR" ;; esac
export BUILD_DIR
export WINEPREFIX="$BUILD_DIR/wineprefix"
export WINEARCH=win64
# (bash warns on the assignment when the locale is not generated yet;
# setup-prefix.sh generates it.)
{ export LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8; } 2>/dev/null
export WINEDEBUG=-all
# winedbg off: a crash ends the program instead of leaving a debugger waiting.
# mscoree/mshtml off: no Mono or Gecko installer prompts in a fresh prefix.
export WINEDLLOVERRIDES="winedbg.exe=d;mscoree=d;mshtml=d"
