#!/usr/bin/env bash
# A bare Windows has no MinGW runtime or zlib DLL: the utility must be a 64-bit GUI
# executable that imports nothing but the system's own libraries.
set -euo pipefail
exe=$1
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q '^Magic[[:space:]]*020b' <<<"$headers" || { echo "not a PE32+ (64-bit) image"; exit 1; }
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || { echo "not a Windows GUI subsystem image"; exit 1; }
allowed='^(ADVAPI32|COMCTL32|GDI32|GDIPLUS|KERNEL32|msvcrt|OLE32|OLEAUT32|PSAPI|SHELL32|USER32|VERSION|WININET|api-ms-win-.*)\.dll$'
bad=0
while read -r dll; do
  if ! grep -qiE "$allowed" <<<"$dll"; then echo "imports $dll"; bad=1; fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
exit $bad
