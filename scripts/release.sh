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

# Only libraries Windows takes from System32 whatever lies beside the exe.
bash scripts/check-imports.sh "$exe"

name="BrevinHotkey-$version-win64"
stage="build/package/$name"
rm -rf build/package "build/$name.zip"
mkdir -p "$stage"
cp "$exe" LICENSE "$stage/"
python3 tools/guide_html.py README.md "$stage/guide.html"
(cd build/package && zip -q -X -r "../$name.zip" "$name")
echo "Release: build/$name.zip ($(stat -c %s "$exe") bytes exe)"
