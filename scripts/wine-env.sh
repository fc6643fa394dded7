#!/usr/bin/env bash
# Sourced by run.sh and test.sh: a Wine prefix inside the build folder, a virtual X display when
# needed, and one wineserver, all stopped again by wine_env_stop.

HKV_ROOT=${HKV_ROOT:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)}
HKV_BUILD=${HKV_BUILD:-$HKV_ROOT/build}
export WINEPREFIX="$HKV_BUILD/wineprefix"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono/Gecko install prompts, no desktop menu entries, and never the crash debugger.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d;winedbg.exe=d"

HKV_XVFB_PID=""

# Starts Xvfb on a free display number and exports DISPLAY.
wine_env_start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -nolisten unix+abstract 3>"$fdfile" >/dev/null 2>&1 &
  HKV_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$fdfile" ]; then break; fi
    if ! kill -0 "$HKV_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.1
  done
  if [ ! -s "$fdfile" ]; then
    echo "Xvfb did not start" >&2
    rm -f "$fdfile"
    return 1
  fi
  export DISPLAY=":$(tr -d '\n' <"$fdfile")"
  rm -f "$fdfile"
}

# Prefix settings, applied when the prefix is new or these settings change.
HKV_PREFIX_STAMP_VERSION=1
wine_env_prepare_prefix() {
  local stamp="$WINEPREFIX/.hkv-prefix-v$HKV_PREFIX_STAMP_VERSION"
  if [ -f "$stamp" ]; then return 0; fi
  mkdir -p "$WINEPREFIX"
  echo "Preparing the Wine prefix in $WINEPREFIX (the first time takes a while)..."
  wine wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  local reg="$WINEPREFIX/hkv-settings.reg"
  # Chinese window texts render with the installed CJK font.
  iconv -f UTF-8 -t UTF-16LE <<'REG' | { printf '\xff\xfe'; cat; } >"$reg"
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"微软雅黑"="WenQuanYi Micro Hei"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"宋体"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]
"MS Shell Dlg"="WenQuanYi Micro Hei"
"MS Shell Dlg 2"="WenQuanYi Micro Hei"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\AeDebug]
"Debugger"=-
"Auto"="0"
REG
  wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1 || true
  wineserver -w
  touch "$stamp"
}

# Whether the X window manager manages Wine's top-level windows (Y, Wine's default) or Wine places
# them itself (N). A private Xvfb display has no window manager: Wine would still wait up to 2 s for
# one at every hide of a managed window, the most of the tests' time. Kept in the prefix, so it is
# set only when it changes.
wine_env_set_managed() {
  local mark="$WINEPREFIX/.hkv-managed"
  if [ "$(cat "$mark" 2>/dev/null || echo Y)" = "$1" ]; then return 0; fi
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d "$1" /f >/dev/null 2>&1 || return 1
  echo "$1" >"$mark"
}

# Options: --own-display (a private Xvfb display), --unmanaged (windows without a window manager;
# only where there is none, as on the private display).
wine_env_start() {
  local own_display="" managed=Y option
  for option in "$@"; do
    case "$option" in
    --own-display) own_display=1 ;;
    --unmanaged) managed=N ;;
    esac
  done
  if [ -n "$own_display" ] || [ -z "${DISPLAY:-}" ]; then
    wine_env_start_xvfb
  fi
  wine_env_prepare_prefix
  # One server for the whole run: each Wine process then starts in seconds.
  wineserver -p >/dev/null 2>&1 || true
  wine_env_set_managed "$managed"
  # Start Wine's own background processes now, with their output detached: started later by a
  # test, they would inherit its output pipe and keep ctest waiting after the test has ended.
  wine wineboot >/dev/null 2>&1 </dev/null || true
}

wine_env_stop() {
  wineserver -k >/dev/null 2>&1 || true
  if [ -n "$HKV_XVFB_PID" ]; then
    kill "$HKV_XVFB_PID" 2>/dev/null || true
    wait "$HKV_XVFB_PID" 2>/dev/null || true
    HKV_XVFB_PID=""
  fi
}
