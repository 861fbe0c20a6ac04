#!/usr/bin/env bash
# check-imports.sh EXE: a 32-bit GUI PE that imports only Windows system DLLs
# (the relocated copy carries no runtime DLLs with it).
set -euo pipefail
exe=$1
dump=$(i686-w64-mingw32-objdump -p "$exe")
grep -q 'file format pei-i386' <<<"$dump" || { echo "not a PE32 i386 image"; exit 1; }
grep -qE 'Subsystem\s+0*2\s' <<<"$dump" || { echo "not a GUI-subsystem image"; exit 1; }
allowed='^(kernel32|user32|gdi32|advapi32|shell32|shlwapi|ole32|oleaut32|comctl32|comdlg32|wintrust|crypt32|version|psapi|gdiplus|wininet|urlmon|iphlpapi|netapi32|ws2_32|msvcrt|ntdll|uxtheme|imm32|winmm|rpcrt4|setupapi|userenv|taskschd)\.dll$'
bad=0
while read -r dll; do
  lower=$(tr 'A-Z' 'a-z' <<<"$dll")
  if ! grep -qE "$allowed" <<<"$lower"; then echo "imports non-system DLL: $dll"; bad=1; fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$dump")
[ $bad -eq 0 ] && echo "imports: $(awk '/DLL Name:/ {printf "%s ", $3}' <<<"$dump")"
exit $bad
