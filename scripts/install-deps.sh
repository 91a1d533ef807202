#!/bin/sh
# Installs every Debian package the build and the Wine test runs need.
# Idempotent: does nothing when all packages are already present.
set -eu

PKGS="cmake make g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686 \
binutils-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth locales fonts-ipafont-gothic \
googletest fonts-wine imagemagick xdotool x11-utils procps python3 zip unzip"

missing=""
for p in $PKGS; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done
if [ -z "$missing" ]; then
    exit 0
fi

if [ "$(id -u)" != 0 ]; then
    echo "install-deps: missing packages:$missing (run as root to install them)" >&2
    exit 1
fi

echo "install-deps: installing$missing"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing >/dev/null
