#!/usr/bin/env bash
# Times the plug-in's whole reduction (Quantize: 256 adaptive colours, dithering 5) against ImageMagick's
# 256-colour GIF conversion on the same 3840 × 2400 photograph. Downloads stay in build/, never in the tree.
#
# Usage: scripts/bench-reduction.sh [picture-name]   (a file of /usr/share/backgrounds in ukui-wallpapers;
#        default the-mouse.jpg, one of its 3840 × 2400 photographs)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/build/bench-data
picture=${1:-the-mouse.jpg}
source "$root/scripts/bench-photo.sh"
photo=$(bench_photo "$picture" ppm)
cd "$data"
size=$(identify -format '%wx%h' "$photo")

(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release -j2 --target halcyne_bench >/dev/null)
bench=$root/build/release/bin/halcyne_bench
export HALCYNE_BENCH_PPM=$photo

echo "== $picture ($size): stages, ns per pixel"
"$bench" --benchmark_filter='^BM_(BuildHistogram|MedianCut|MakeInvColorMap|Unique|InvMapRiemersma/[05])$' \
  --benchmark_min_time=0.5 2>/dev/null | awk '/^BM_/ {print}'

# Median of five repetitions, in milliseconds.
ours=$("$bench" --benchmark_filter='^BM_Quantize/photo$' --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"?,/ {print $3}')

# Best of three wall-clock runs, in milliseconds.
best_ms() {
  local best="" start end t
  for _ in 1 2 3; do
    start=$(date +%s%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    t=$(((end - start) / 1000000))
    if [ -z "$best" ] || [ "$t" -lt "$best" ]; then best=$t; fi
  done
  echo "$best"
}
riemersma=$(best_ms convert "$photo" -dither Riemersma -colors 256 out-riemersma.gif)
none=$(best_ms convert "$photo" -dither None -colors 256 out-none.gif)

echo "== whole reduction on the same PPM"
awk -v ours="$ours" -v r="$riemersma" -v n="$none" 'BEGIN {
  printf "Quantize (ours, dither 5)           %8.1f ms\n", ours
  printf "ImageMagick -dither Riemersma        %8.1f ms   ratio %.1fx\n", r, r / ours
  printf "ImageMagick -dither None             %8.1f ms   ratio %.1fx\n", n, n / ours
}'
