#!/usr/bin/env bash
# Times the whole halcyne command (PNG decoding, the module's acquisition, reduction, export) against ImageMagick's
# 256-colour GIF conversion of the same PNG, with the peak memory of each, side by side: the default palette with
# dithering 5 against ImageMagick's Riemersma dithering, and the fine palette with fine dithering against its
# Floyd-Steinberg dithering. Targets for the fine pair: at least 2.5 times as fast, less than half the memory. Then
# the command with lossy compression against itself without: at most 1.5 times as long.
# Downloads stay in build/, never in the tree.
#
# Usage: scripts/bench-command.sh [picture]   (a picture as scripts/bench-photo.sh's bench_picture names it;
#        default plasma:Volna, a 5120 × 2880 photographic wallpaper: 14.7 megapixels)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/build/bench-data
picture=${1:-plasma:Volna}
source "$root/scripts/bench-photo.sh"
photo=$(bench_picture "$picture")
cd "$data"
read -r width height < <(identify -format '%w %h\n' "$photo")
raw_mb=$(echo "$width * $height * 3 / 1048576" | bc -l)

(cd "$root" && scripts/install-deps.sh tool && { [ -f build/tool/build.ninja ] || cmake --preset tool >/dev/null; } &&
  cmake --build --preset tool >/dev/null)
halcyne=$root/build/tool/bin/halcyne
magick=$(command -v convert-im6.q16 || command -v convert)

# Best of three runs: wall milliseconds and peak resident megabytes.
measure() {
  local best_ms="" best_mb="" start end ms mb
  for _ in 1 2 3; do
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o time.txt "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    ms=$(((end - start) / 1000000))
    mb=$(($(cat time.txt) / 1024))
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
    if [ -z "$best_mb" ] || [ "$mb" -lt "$best_mb" ]; then best_mb=$mb; fi
  done
  echo "$best_ms $best_mb"
}

# One pair: our flags and ImageMagick's dithering, each timed three times.
compare() {
  local label=$1 dither=$2
  shift 2
  local ours ours_mb theirs theirs_mb
  read -r ours ours_mb < <(measure "$halcyne" "$photo" -o ours.gif --colors 256 "$@" --transparency none --no-prefs)
  read -r theirs theirs_mb < <(measure "$magick" "$photo" -dither "$dither" -colors 256 magick.gif)
  printf '\n%s against ImageMagick -dither %s\n' "$label" "$dither"
  printf 'halcyne:     %6d ms  %5d MB peak (%.2f x raw)  %d bytes\n' "$ours" "$ours_mb" \
    "$(echo "$ours_mb / $raw_mb" | bc -l)" "$(stat -c %s ours.gif)"
  printf 'ImageMagick: %6d ms  %5d MB peak  %d bytes\n' "$theirs" "$theirs_mb" "$(stat -c %s magick.gif)"
  printf 'ratio:       %.1f x faster, %.2f of the memory\n' "$(echo "$theirs / $ours" | bc -l)" \
    "$(echo "$ours_mb / $theirs_mb" | bc -l)"
}

printf '%s (%s x %s, raw RGB %.1f MB)\n' "$picture" "$width" "$height" "$raw_mb"
compare "halcyne --dither 5" Riemersma --dither 5
compare "halcyne --palette Fine --dither 8" FloydSteinberg --palette Fine --dither 8

# Our flags with --lossy 20, 40 and 100 against the same flags without.
lossy_ratios() {
  local plain plain_mb ms mb level
  read -r plain plain_mb < <(measure "$halcyne" "$photo" -o plain.gif --colors 256 "$@" --transparency none --no-prefs)
  printf '
halcyne %s with lossy compression against without
' "$*"
  printf 'lossy 0:   %6d ms  %5d MB peak  %d bytes
' "$plain" "$plain_mb" "$(stat -c %s plain.gif)"
  for level in 20 40 100; do
    read -r ms mb < <(measure "$halcyne" "$photo" -o "lossy$level.gif" --colors 256 "$@" --lossy "$level" \
      --transparency none --no-prefs)
    printf 'lossy %-3d  %6d ms  %5d MB peak  %d bytes  %.2f x the time\n' "$level" "$ms" "$mb" \
      "$(stat -c %s "lossy$level.gif")" "$(echo "$ms / $plain" | bc -l)"
  done
}

lossy_ratios --dither 5
