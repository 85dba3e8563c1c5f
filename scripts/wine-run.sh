#!/usr/bin/env bash
# Runs one Windows executable under Wine, quietly and unattended, in a private prefix inside the build folder.
# Bounded by a timeout so a stuck window fails the test instead of hanging the run.
set -u
exe=$1
shift
build_dir=$(cd "$(dirname "$exe")/.." && pwd)
export WINEPREFIX=${HALCYNE_WINEPREFIX:-$build_dir/wineprefix}
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

run() { timeout --kill-after=10 "${HALCYNE_WINE_TIMEOUT:-300}" "$loader" "$exe" "$@"; }
if [ -z "${DISPLAY:-}" ] && command -v xvfb-run >/dev/null; then
  run() { timeout --kill-after=10 "${HALCYNE_WINE_TIMEOUT:-300}" xvfb-run -a "$loader" "$exe" "$@"; }
fi
run "$@"
