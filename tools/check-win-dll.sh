#!/usr/bin/env bash
# Checks a cross-built plug-in DLL: it exports exactly VSTPluginMain and main, and it imports
# from Windows system DLLs only (no libstdc++-6.dll, libgcc_s_*.dll, libwinpthread-1.dll or
# any other DLL a user would have to install beside it).
# Usage: tools/check-win-dll.sh PLUGIN.dll [OBJDUMP]
set -euo pipefail

dll=$1
objdump=${2:-x86_64-w64-mingw32-objdump}
dump=$("$objdump" -p "$dll")

# System DLLs present on every Windows since Vista (the C run time msvcrt.dll included).
allowed='^(kernel32|user32|gdi32|shell32|ole32|oleaut32|comctl32|comdlg32|wininet|advapi32|msvcrt|ws2_32|shlwapi|version|msimg32|uxtheme|winmm|api-ms-win-[a-z0-9-]+)\.dll$'

status=0
imports=$(sed -n 's/^\s*DLL Name: //p' <<<"$dump" | tr 'A-Z' 'a-z' | sort -u)
for name in $imports; do
  if ! grep -Eq "$allowed" <<<"$name"; then
    echo "check-win-dll: $dll imports $name, which is not a Windows system DLL" >&2
    status=1
  fi
done

# The export name table: lines "[ordinal] name" after "[Ordinal/Name Pointer] Table".
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | sed -n 's/^\s*\[\s*[0-9]*\]\s*//p' | sort | tr '\n' ' ')
if [[ $exports != "VSTPluginMain main " ]]; then
  echo "check-win-dll: $dll exports '${exports}', expected exactly 'VSTPluginMain main'" >&2
  status=1
fi

if [[ $status -eq 0 ]]; then
  echo "check-win-dll: $dll exports VSTPluginMain and main; imports $(tr '\n' ' ' <<<"$imports")"
fi
exit $status
