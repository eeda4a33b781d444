#!/usr/bin/env bash
# A bare Windows has no MinGW runtime or zlib DLL: the utility must be a 64-bit GUI
# executable that imports nothing but the system's own libraries. And since it runs as
# administrator from wherever it was saved (usually a Downloads folder), it may import
# only libraries that Windows never takes from the application's folder:
#  - the KnownDLLs, which the loader maps from the system folder before any search
#    (HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs; see "Dynamic-link
#    library search order", learn.microsoft.com/windows/win32/dlls/dynamic-link-library-search-order).
#    The list differs between versions, so only the names in the default list of
#    Windows 7 SP1 and in that of Windows 10 and 11 alike are allowed. Left out on
#    purpose: WININET, URLMON, IERTUTIL, LPK, USP10 (Windows 7 only), and GDIPLUS,
#    COMBASE, RPCRT4, SHCORE (not on Windows 7); VERSION was never one;
#  - COMCTL32, which the manifest binds side by side to the common controls 6 in WinSxS.
# Every other library is loaded at run time from the system folder
# (src/base/system_library_win32.h).
set -euo pipefail
exe=$1
headers=$(x86_64-w64-mingw32-objdump -p "$exe")
grep -q '^Magic[[:space:]]*020b' <<<"$headers" || { echo "not a PE32+ (64-bit) image"; exit 1; }
grep -q '^Subsystem[[:space:]]*00000002' <<<"$headers" || { echo "not a Windows GUI subsystem image"; exit 1; }
known_dlls='ADVAPI32|CLBCATQ|COMDLG32|DIFXAPI|GDI32|IMAGEHLP|IMM32|KERNEL32|MSCTF|MSVCRT|NORMALIZ|NSI|OLE32|OLEAUT32|PSAPI|SECHOST|SETUPAPI|SHELL32|SHLWAPI|USER32|WLDAP32|WS2_32'
allowed="^($known_dlls|COMCTL32)\\.dll\$"
bad=0
while read -r dll; do
  if ! grep -qiE "$allowed" <<<"$dll"; then echo "imports $dll, which Windows may take from beside the executable"; bad=1; fi
done < <(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$headers")
exit $bad
