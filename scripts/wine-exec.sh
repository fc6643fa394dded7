#!/usr/bin/env bash
# Runs one Windows executable under Wine for ctest: usage wine-exec.sh PREFIX PROGRAM [ARGS...]
# The display and the wineserver come from scripts/test.sh.
set -u
export WINEPREFIX="$1"
shift
export WINEARCH=win64
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree=;mshtml=;winemenubuilder.exe=d;winedbg.exe=d"}
if [ -z "${DISPLAY:-}" ]; then
  echo "wine-exec.sh: no DISPLAY; run the tests through scripts/test.sh" >&2
  exit 2
fi
exec wine "$@"
