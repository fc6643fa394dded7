#!/usr/bin/env bash
# Fails when the executable imports a library that Windows could look for in the executable's own
# folder first. Only Known DLLs are always taken from System32: any other import is searched for
# beside the exe before anywhere else, so a copy left in a Downloads or shared folder would run
# with the user's rights before the program's first line. Common Controls 6 is the one exception:
# the manifest names it, and the loader takes it from the system's side-by-side store.
# Usage: check-imports.sh path/to/BrevinHotkey.exe
set -euo pipefail

exe=$1
# HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\KnownDLLs on Windows 10 and 11, the
# libraries a program may import by name (lower case, without ".dll"). COM's own (ole32,
# oleaut32) are Known DLLs too but left out: the program loads them when a screen reader or the
# shell first needs them, and an import would load them at every start.
known_dlls=" advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 gdiplus imagehlp imm32 kernel32
  msctf msvcrt normaliz nsi psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32 wldap32
  ws2_32 "
manifest_dlls=" comctl32 "
# Functions the executable must import: its first line keeps every library loaded by name later,
# by the program or by the system on its behalf, to System32.
required_functions="SetDefaultDllDirectories"

headers=$(x86_64-w64-mingw32-objdump -p "$exe")
imports=$(awk '/DLL Name:/ {print tolower($3)}' <<<"$headers")
if [ -z "$imports" ]; then
  echo "check-imports.sh: no import list read from $exe" >&2
  exit 1
fi
status=0
for dll in $imports; do
  name=${dll%.dll}
  if [[ "$known_dlls" == *[[:space:]]"$name"[[:space:]]* ]]; then
    continue
  fi
  if [[ "$manifest_dlls" == *[[:space:]]"$name"[[:space:]]* ]] &&
     grep -q "Microsoft.Windows.Common-Controls" "$exe"; then
    continue
  fi
  echo "check-imports.sh: $exe imports $dll, which is not a Known DLL: Windows would load a" \
       "copy from the executable's folder first" >&2
  status=1
done
for function in $required_functions; do
  if ! grep -qw "$function" <<<"$headers"; then
    echo "check-imports.sh: $exe does not import $function: libraries it loads later could come" \
         "from the executable's folder" >&2
    status=1
  fi
done
if [ "$status" -eq 0 ]; then
  echo "Imports of $exe, all from System32: $(echo $imports | tr '\n' ' ')"
fi
exit "$status"
