#!/bin/bash
# Checks one built program as Windows will see it: PE type and subsystem, that it
# imports only DLLs that ship with Windows (everything else is linked in
# statically), that it carries the manifest and the version resource, and that
# each of its icons holds every size (check-icons.py).
# Usage: check-program.sh <program.exe> <PE32|PE32+> <objdump>
set -u
exe=$1 kind=$2 objdump=$3
fail() { echo "FAIL $(basename "$exe"): $*"; exit 1; }

[ -f "$exe" ] || fail "missing"
desc=$(file -b "$exe")
case "$kind" in
    PE32) [[ $desc == "PE32 executable (GUI) Intel 80386"* ]] || fail "expected a 32-bit GUI program, got: $desc" ;;
    PE32+) [[ $desc == "PE32+ executable (GUI) x86-64"* ]] || fail "expected a 64-bit GUI program, got: $desc" ;;
esac

windows_dlls=" kernel32.dll user32.dll gdi32.dll shell32.dll advapi32.dll ole32.dll oleaut32.dll comctl32.dll "
windows_dlls+="comdlg32.dll winmm.dll msvcrt.dll msvfw32.dll psapi.dll shlwapi.dll powrprof.dll vdmdbg.dll "
windows_dlls+="gdiplus.dll version.dll uxtheme.dll "
imports=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z')
[ -n "$imports" ] || fail "no imports found"
for dll in $imports; do
    [[ $windows_dlls == *" $dll "* ]] || [[ $dll == api-ms-win-* ]] || fail "imports $dll, which is not a Windows DLL"
done

# user32's DPI calls of Windows 10 are looked up at run time (common/Dpi.cpp):
# imported, they would keep the program from starting on older Windows.
late=$("$objdump" -p "$exe" | grep -oE '\b(GetDpiFor(Window|System)|GetSystemMetricsForDpi|SetDialogDpiChangeBehavior)\b' \
    | sort -u | tr '\n' ' ')
[ -z "$late" ] || fail "imports $late, which Windows before 10 lacks"

# The Windows 10 supportedOS id and the version resource's product name (UTF-16).
grep -q '8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a' "$exe" || fail "no manifest with the Windows 10 entry"
grep -q 'asInvoker' "$exe" || fail "manifest does not ask for asInvoker"
grep -q 'PerMonitorV2' "$exe" || fail "manifest does not ask for per-monitor DPI awareness (v2)"
LC_ALL=C grep -qaP 'P\x00r\x00o\x00d\x00u\x00c\x00t\x00V\x00e\x00r\x00s\x00i\x00o\x00n\x00\x00\x00(\x00)*3\x00\.\x000\x001\x00' "$exe" \
    || fail "no version resource with ProductVersion 3.01"
icons=$(python3 "$(dirname "$0")/check-icons.py" "$exe") || fail "$icons"
echo "ok $(basename "$exe"): $desc; imports: $(echo $imports); icons $icons"
