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
# RUNS=N (default 5) runs of each pair, taken in turns so that both meet the same load; medians are reported,
# with the load average, since other work on the machine moves wall times.
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

# One run: wall milliseconds and peak resident megabytes.
measure() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f '%M' -o time.txt "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "$(((end - start) / 1000000)) $(($(cat time.txt) / 1024))"
}

median() {
  tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : int((v[NR / 2] + v[NR / 2 + 1]) / 2)) }'
}

# One pair: our flags and ImageMagick's dithering, run in turns RUNS times.
compare() {
  local label=$1 dither=$2
  shift 2
  local ours=() ours_mb=() theirs=() theirs_mb=() ratios=() ms mb theirs_ms i
  for ((i = 0; i < ${RUNS:-5}; ++i)); do
    read -r ms mb < <(measure "$halcyne" "$photo" -o ours.gif --colors 256 "$@" --transparency none --no-prefs)
    ours+=("$ms") ours_mb+=("$mb")
    read -r theirs_ms mb < <(measure "$magick" "$photo" -dither "$dither" -colors 256 magick.gif)
    theirs+=("$theirs_ms") theirs_mb+=("$mb")
    ratios+=("$(echo "$theirs_ms * 100 / $ms" | bc)")
  done
  local m_ours m_ours_mb m_theirs m_theirs_mb
  m_ours=$(echo "${ours[*]}" | median) m_ours_mb=$(echo "${ours_mb[*]}" | median)
  m_theirs=$(echo "${theirs[*]}" | median) m_theirs_mb=$(echo "${theirs_mb[*]}" | median)
  printf '\n%s against ImageMagick -dither %s (median of %d runs in turns)\n' "$label" "$dither" "${RUNS:-5}"
  printf 'halcyne:     %6d ms  %5d MB peak (%.2f x raw)  %d bytes   runs: %s ms\n' "$m_ours" "$m_ours_mb" \
    "$(echo "$m_ours_mb / $raw_mb" | bc -l)" "$(stat -c %s ours.gif)" "${ours[*]}"
  printf 'ImageMagick: %6d ms  %5d MB peak  %d bytes   runs: %s ms\n' "$m_theirs" "$m_theirs_mb" \
    "$(stat -c %s magick.gif)" "${theirs[*]}"
  printf 'ratio:       %.2f x faster (median over the pairs), %.2f of the memory; load average %s\n' \
    "$(echo "$(echo "${ratios[*]}" | median) / 100" | bc -l)" "$(echo "$m_ours_mb / $m_theirs_mb" | bc -l)" \
    "$(cut -d' ' -f1-3 /proc/loadavg)"
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
lossy_ratios --dither 0  # nothing handed on: the coder's other path
