#!/usr/bin/env bash
# Times the halcyne command converting 32 pictures of 4 megapixels (2048 x 2048 crops of the benchmark
# photographs, as PNG) one after another (-j 1) and two at once (-j 2), and checks that both write the same files.
# Best of three runs each, taken in turn; the pictures and outputs stay in build/bench-jobs.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/bench-photo.sh"
bench_photo the-mouse.jpg png >/dev/null  # fetches the photographs once
work=$root/build/bench-jobs
mkdir -p "$work/in"
photos=("$root"/build/bench-data/root/usr/share/backgrounds/*.jpg)
for i in $(seq 0 31); do
  picture=$work/in/picture-$i.png
  # A different photograph and a different crop for each: the top left corner moves across the photograph.
  [ -f "$picture" ] || convert "${photos[i % ${#photos[@]}]}" -resize '3840x2400^' \
    -crop "2048x2048+$((i * 53 % 1792))+$((i * 11 % 352))" \
    +repage -depth 8 "$picture" 2>/dev/null
done

(cd "$root" && scripts/install-deps.sh tool && { [ -f build/tool/build.ninja ] || cmake --preset tool >/dev/null; } &&
  cmake --build --preset tool >/dev/null)

export XDG_CONFIG_HOME=$work/config
# Wall milliseconds of one run with `jobs` at once.
timed_run() {
  local jobs=$1 start end
  rm -rf "$work/out-$jobs" && mkdir -p "$work/out-$jobs"
  start=$(date +%s%N)
  "$root/build/tool/bin/halcyne" "$work"/in/*.png -o "$work/out-$jobs/" -q -j "$jobs" --dither 5
  end=$(date +%s%N)
  echo $(( (end - start) / 1000000 ))
}

# Three rounds, each timing both in turn, so that other load on the machine falls on both alike; best of each.
one="" two=""
for _ in 1 2 3; do
  ms=$(timed_run 1); if [ -z "$one" ] || [ "$ms" -lt "$one" ]; then one=$ms; fi
  ms=$(timed_run 2); if [ -z "$two" ] || [ "$ms" -lt "$two" ]; then two=$ms; fi
done
diff -r "$work/out-1" "$work/out-2" >/dev/null || { echo "-j 1 and -j 2 wrote different files" >&2; exit 1; }
echo "32 pictures of 2048 x 2048 (PNG), 256 colours, dithering 5, $(nproc) processors; best of three runs"
printf '%-6s %10s %14s\n' jobs 'wall ms' 'ms / picture'
printf '%-6s %10d %14.1f\n' "-j 1" "$one" "$(echo "$one / 32" | bc -l)"
printf '%-6s %10d %14.1f\n' "-j 2" "$two" "$(echo "$two / 32" | bc -l)"
printf 'speed-up %.2f x\n' "$(echo "$one / $two" | bc -l)"
