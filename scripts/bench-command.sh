#!/usr/bin/env bash
# Times the whole halcyne command (PNG decoding, the module's acquisition, reduction with dithering 5, export)
# against ImageMagick's 256-colour GIF conversion of the same 3840 × 2400 PNG, with peak memory of each, and the
# same command with lossy compression against itself without (the target: at most 1.5 times as long).
# Downloads stay in build/, never in the tree.
#
# Usage: scripts/bench-command.sh [picture-name]   (a file of ukui-wallpapers; default the-mouse.jpg)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/build/bench-data
picture=${1:-the-mouse.jpg}
source "$root/scripts/bench-photo.sh"
photo=$(bench_photo "$picture" png)
cd "$data"
read -r width height < <(identify -format '%w %h\n' "$photo")
raw_mb=$(echo "$width * $height * 3 / 1048576" | bc -l)

(cd "$root" && scripts/install-deps.sh tool && { [ -f build/tool/build.ninja ] || cmake --preset tool >/dev/null; } &&
  cmake --build --preset tool >/dev/null)

# Best of three runs: wall milliseconds and peak resident megabytes.
measure() {
  local best_ms="" best_mb="" start end ms mb
  for _ in 1 2 3; do
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o time.txt "$@" >/dev/null 2>&1
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    mb=$(( $(cat time.txt) / 1024 ))
    if [ -z "$best_ms" ] || [ "$ms" -lt "$best_ms" ]; then best_ms=$ms; fi
    if [ -z "$best_mb" ] || [ "$mb" -lt "$best_mb" ]; then best_mb=$mb; fi
  done
  echo "$best_ms $best_mb"
}

read -r ours ours_mb < <(measure "$root/build/tool/bin/halcyne" "$photo" -o ours.gif --colors 256 --dither 5 \
  --transparency none --no-prefs)
read -r magick magick_mb < <(measure convert "$photo" -dither Riemersma -colors 256 magick.gif)
lossy_rows=()
for level in 20 40 100; do
  read -r ms mb < <(measure "$root/build/tool/bin/halcyne" "$photo" -o "lossy$level.gif" --colors 256 --dither 5 \
    --transparency none --no-prefs --lossy "$level")
  lossy_rows+=("$(printf 'halcyne --lossy %-3d %6d ms  %5d MB peak  %d bytes  %.2f x the time without' "$level" "$ms" \
    "$mb" "$(stat -c %s "lossy$level.gif")" "$(echo "$ms / $ours" | bc -l)")")
done

printf '%s (%s x %s, raw RGB %.1f MB)\n' "$picture" "$width" "$height" "$raw_mb"
printf 'halcyne:     %6d ms  %5d MB peak (%.2f x raw)  %d bytes\n' "$ours" "$ours_mb" \
  "$(echo "$ours_mb / $raw_mb" | bc -l)" "$(stat -c %s ours.gif)"
printf 'ImageMagick: %6d ms  %5d MB peak  %d bytes\n' "$magick" "$magick_mb" "$(stat -c %s magick.gif)"
printf 'ratio:       %.1f x faster\n' "$(echo "$magick / $ours" | bc -l)"
printf '%s\n' "${lossy_rows[@]}"
