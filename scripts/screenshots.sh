#!/usr/bin/env bash
# Takes the pictures of the user guide (docs/*.png) from the running program under Wine on a
# private virtual display: tools/screenshots.cpp starts it with a sample settings file and uses it
# as a person would, the main window once more with the screen at 150 %.
# Run by hand after a change the pictures show; commit the PNGs it writes.
set -euo pipefail
cd "$(dirname "$0")/.."
HKV_ROOT=$(pwd)

bash scripts/deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target screenshots

shots="$HKV_ROOT/build/screenshots"
rm -rf "$shots"
mkdir -p "$shots"
tool="$HKV_ROOT/build/windows/tools/screenshots.exe"

source scripts/wine-env.sh
trap wine_env_stop EXIT
# Windows with a window manager's placement would wait for one that a private display lacks.
wine_env_start --own-display --unmanaged
wine "$tool" "$(winepath -w "$shots")"
wine_env_stop

# Palette PNGs without dates or comments: the same screen gives the same file.
for bmp in "$shots"/*.bmp; do
  name=$(basename "$bmp" .bmp)
  convert "$bmp" -strip "PNG8:docs/$name.png"
  echo "docs/$name.png: $(identify -format '%w x %h, %k colours' "docs/$name.png")"
done
