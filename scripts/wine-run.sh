#!/usr/bin/env bash
# Runs one Windows executable under Wine, quietly and unattended, in a private prefix inside the build folder.
# Bounded by a timeout so a stuck window fails the test instead of hanging the run.
set -u
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")/.." && pwd)
# HALCYNE_WINE_DPI=N runs the program at N dots per inch, in a prefix of its own so other runs keep 96.
dpi=${HALCYNE_WINE_DPI:-}
export WINEPREFIX=${HALCYNE_WINEPREFIX:-$build_dir/wineprefix${dpi:+-dpi$dpi}}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
mkdir -p "$WINEPREFIX"

loader=wine
if [ -x /usr/lib/wine/wine64 ] && [ "$(head -c 2 "$exe" | od -An -c | tr -d ' ')" = "MZ" ]; then
  # 64-bit executables go straight to the 64-bit loader; the wrapper would try the 32-bit one first.
  if od -An -tx2 -j $(( $(od -An -tu4 -j 60 -N4 "$exe") + 4 )) -N2 "$exe" | grep -q 8664; then
    loader=/usr/lib/wine/wine64
  fi
fi

# Prefix settings, written once per prefix before the program starts (a marker file remembers them):
# windows unmanaged, since the virtual display has no window manager that Wine would otherwise wait for on every
# window it hides; and, for a DPI run, the display resolution (Wine reads the desktop key; the fonts key is the
# older place).
marker=$WINEPREFIX/.halcyne-settings-1${dpi:+-dpi$dpi}
if [ ! -f "$marker" ]; then
  reg_loader=wine
  [ -x /usr/lib/wine/wine64 ] && reg_loader=/usr/lib/wine/wine64
  set_value() {
    timeout --kill-after=10 120 "$reg_loader" reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 \
      || { echo "wine-run.sh: cannot set $2=$4 under $1" >&2; exit 1; }
  }
  set_value 'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
  if [ -n "$dpi" ]; then
    set_value 'HKCU\Control Panel\Desktop' LogPixels REG_DWORD "$dpi"
    set_value 'HKCC\Software\Fonts' LogPixels REG_DWORD "$dpi"
  fi
  # The program then starts on a fresh server that loads the settings from the prefix.
  WINEPREFIX=$WINEPREFIX timeout 60 wineserver -w 2>/dev/null || true
  touch "$marker"
fi

run() { timeout --kill-after=10 "${HALCYNE_WINE_TIMEOUT:-300}" "$loader" "$exe" "$@"; }
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run() { timeout --kill-after=10 "${HALCYNE_WINE_TIMEOUT:-300}" xvfb-run -a "$loader" "$exe" "$@"; }
fi
run "$@"
