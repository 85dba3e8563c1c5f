#!/usr/bin/env bash
# Plays the whole interactive run on the window bench (x86_64 Windows build under Wine, virtual display) and leaves
# one screenshot per step in build/win64/screenshots/session-NN-*.png, with the file it saved (session-file.gif).
# Usage: scripts/dialog-screenshots.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh >/dev/null
[ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target halcyne_win_bench >/dev/null
rm -f build/win64/screenshots/session-*
(cd build/win64 && HALCYNE_WINE_TIMEOUT=300 xvfb-run -a -s "-screen 0 1280x1024x24" \
  ../../scripts/wine-run.sh bin/halcyne_win_bench.exe --gtest_filter='HcSessionTest.*')
ls -1 build/win64/screenshots/session-*
