#!/usr/bin/env bash
# Times our LZW encoder and decoder beside giflib's on the same indices: a 3840 × 2400 photograph reduced to 256
# colours with dithering 5, and the synthetic dense bands. Median of ten repetitions, decimal MB of indices a second.
#
# Usage: scripts/bench-lzw.sh [picture-name]   (a file of ukui-wallpapers; default the-mouse.jpg)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/bench-photo.sh"
export HALCYNE_BENCH_PPM
HALCYNE_BENCH_PPM=$(bench_photo "${1:-the-mouse.jpg}" ppm)

(cd "$root" && cmake --preset release >/dev/null && cmake --build --preset release -j2 --target halcyne_lzw_bench >/dev/null)
"$root/build/release/bin/halcyne_lzw_bench" --benchmark_repetitions=10 --benchmark_report_aggregates_only=true \
  --benchmark_format=csv 2>/dev/null |
  awk -F, '/_median"?,/ {
    name = $1; gsub(/"|_median/, "", name)
    printf "%-22s %7.1f ms %7.0f MB/s\n", name, $3, $6 / 1e6
  }'
