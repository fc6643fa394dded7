#!/usr/bin/env bash
# Builds the program as users get it (MinGW-w64, optimised for size, stripped, static C++ runtime)
# and packs it with the user guide (guide.html, made from the README's guide part with its pictures
# inside) and the licence into build/BrevinHotkey-<version>-win64.zip.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release

exe=build/release/src/app/BrevinHotkey.exe
version=$(sed -n 's/.*VALUE "ProductVersion", "\([^"]*\)".*/\1/p' src/ui/resources.rc)
if [ -z "$version" ]; then
  echo "release.sh: no ProductVersion in src/ui/resources.rc" >&2
  exit 1
fi

# The executable must run on a bare Windows: it may import only DLLs that ship with the system.
system_dlls=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msimg32.dll msvcrt.dll
  imm32.dll ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll
  winmm.dll "
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}')
for dll in $imports; do
  if [[ "$system_dlls" != *" $dll"[[:space:]]* ]]; then
    echo "release.sh: $exe imports $dll, which does not ship with Windows" >&2
    exit 1
  fi
done

name="BrevinHotkey-$version-win64"
stage="build/package/$name"
rm -rf build/package "build/$name.zip"
mkdir -p "$stage"
cp "$exe" LICENSE "$stage/"
python3 tools/guide_html.py README.md "$stage/guide.html"
(cd build/package && zip -q -X -r "../$name.zip" "$name")
echo "Release: build/$name.zip ($(stat -c %s "$exe") bytes exe; imports: $(echo $imports | tr '\n' ' '))"
