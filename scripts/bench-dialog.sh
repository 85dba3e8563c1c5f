#!/usr/bin/env bash
# Times how fast the quantization dialog follows a dithering change (release of the slider to the new preview and
# "GIF %uK" size), on a 1000 × 1000 crop and on the whole 3840 × 2400 photograph, with the "Custom" and the "Fine"
# palette, with the x86_64 Windows build under Wine in a virtual display. Targets (median of seven changes): 25 and
# 40 ms on the crop, 150 and 250 ms on the photograph. It also prints the remap alone, to set beside the native
# benchmarks (scripts/bench-reduction.sh), and each change's stages as the dialog's bar shows them. An argument runs
# only the measures whose names hold it ("photograph Custom", "crop", "large picture", ...: see bench/DialogBench.cpp).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
scripts/install-deps.sh >/dev/null
source scripts/bench-photo.sh
photo=$(bench_photo the-mouse.jpg ppm)
[ -f build/win64/build.ninja ] || cmake --preset win64 >/dev/null
cmake --build --preset win64 --target halcyne_dialog_bench >/dev/null
# The bench reads the photograph through the command's reader, as a Windows path (Wine's Z: is the root).
HALCYNE_BENCH_PPM="Z:${photo//\//\\}" HALCYNE_WINE_TIMEOUT=900 xvfb-run -a -s "-screen 0 1280x1024x24" \
  scripts/wine-run.sh build/win64/bin/halcyne_dialog_bench.exe "$@"
