#!/usr/bin/env bash
# Plays the whole interactive run on the window bench (x86_64 Windows build under Wine, virtual display) and leaves
# one screenshot per step in build/win64/screenshots/session-NN-*.png, with the file it saved (session-file.gif);
# then shows both dialogs on the benchmarks' photograph at 96 and 144 DPI (photo-*.png).
# Usage: scripts/dialog-screenshots.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh >/dev/null
[ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target halcyne_win_bench >/dev/null
source scripts/bench-photo.sh
bench_photo the-mouse.jpg ppm >/dev/null
rm -f build/win64/screenshots/session-* build/win64/screenshots/photo-*
for dpi in "" 144; do
  (cd build/win64 && HALCYNE_WINE_DPI=$dpi HALCYNE_WINE_TIMEOUT=300 xvfb-run -a -s "-screen 0 1280x1024x24" \
    ../../scripts/wine-run.sh bin/halcyne_win_bench.exe --gtest_filter="HcSessionTest.*${dpi:+Dpi*}")
done
ls -1 build/win64/screenshots/session-* build/win64/screenshots/photo-*
