#!/bin/bash
# Creates the project's Wine prefix under the build folder so that it behaves
# like a Japanese Windows 10: ja_JP locale (ANSI code page 932), version win10,
# the unmanaged X11 driver (boxes close at once), Japanese font substitutes.
# Idempotent: a finished prefix is left alone.
set -eu
cd "$(dirname "$0")/.."
. scripts/wine-env.sh
stamp="$WINEPREFIX/.orrivane-prefix-v1"
[ -f "$stamp" ] && exit 0

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
    localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi

echo "setup-prefix: creating $WINEPREFIX"
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
# wineboot needs no display when the X11 driver is not asked for a window.
DISPLAY= wine wineboot -i >/dev/null 2>&1
wineserver -w

reg() { DISPLAY= wine reg add "$@" /f >/dev/null 2>&1; }
reg 'HKCU\Software\Wine' /v Version /d win10
reg 'HKCU\Software\Wine\X11 Driver' /v Managed /d N
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /d Y
subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic' 'MS Shell Dlg' 'MS Shell Dlg 2'; do
    reg "$subst" /v "$face" /d IPAPGothic
done
for face in 'ＭＳ ゴシック' 'MS Gothic'; do
    reg "$subst" /v "$face" /d IPAGothic
done
# Debian's Wine does not load its own TrueType fonts from /usr/share/wine.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
for f in /usr/share/fonts/opentype/ipafont-gothic/*.ttf /usr/share/fonts/truetype/fonts-japanese-gothic.ttf; do
    [ -f "$f" ] && cp -L "$f" "$WINEPREFIX/drive_c/windows/Fonts/"
done
wineserver -w
touch "$stamp"
echo "setup-prefix: done"
