#!/usr/bin/env bash
# Picture quality per byte, side by side, at 256 colours: halcyne's default and fine palettes at several dithering
# amounts beside ImageMagick, FFmpeg and pngquant, on photographs, a flat-colour illustration and dialog screenshots.
# For every output: GIF size, colours used, PSNR over RGB against the source, PSNR after a 3 × 3 box blur of both
# (how dithering looks from a little further away) and wall time; a table per picture, a summary of where fine
# dithering stands against each error-diffusion peer, and a chart per picture (size against both PSNRs). Then the
# lossy frontier of each picture (scripts/bench-frontier.sh): our lossy levels beside gifsicle's, with its own chart.
# Downloads, outputs and charts stay in build/bench-data/quality/, never in the tree.
#
# Usage: scripts/bench-quality.sh [picture...]
#   a picture as scripts/bench-photo.sh's bench_picture names it (a file of the tree, ukui:NAME or plasma:NAME);
#   default: a 3840 × 2400 photograph, three 2560 × 1600 ones, a flat-colour illustration, the dialog screenshots:
default_pictures=(ukui:the-mouse.jpg plasma:ColorfulCups plasma:Autumn plasma:Path plasma:FlyingKonqui
  docs/quantization-dialog.png docs/options-dialog.png)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/build/bench-data
results=$data/quality
pictures=("$@")
[ ${#pictures[@]} -gt 0 ] || pictures=("${default_pictures[@]}")
source "$root/scripts/bench-photo.sh"
source "$root/scripts/bench-frontier.sh"

# The peers and the plotting tool from Debian's packages, and Pillow for the measurements.
packages=(imagemagick ffmpeg pngquant gifsicle python3-pil gnuplot-nox)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
# ImageMagick's own program, not whatever else may answer to 'convert' on the path.
magick=$(command -v convert-im6.q16 || command -v convert)

(cd "$root" && scripts/install-deps.sh tool && { [ -f build/tool/build.ninja ] || cmake --preset tool >/dev/null; } &&
  cmake --build --preset tool >/dev/null)
halcyne=$root/build/tool/bin/halcyne

# Wall milliseconds of one run of the command given.
timed() {
  local start end
  start=$(date +%s%N)
  "$@" </dev/null >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

# pngquant writes a palette PNG; ImageMagick re-encodes it as a GIF without touching a colour or an index, so the
# sizes compare GIF with GIF (the PSNR of the GIF is measured, and equals the PNG's).
pngquant_gif() {
  local out=$1
  shift
  pngquant 256 "$@" --force --output "${out%.gif}.png" "$in" && "$magick" "${out%.gif}.png" "$out"
}

# The rows of the benchmark: group, setting (a number where the group has a scale, for the chart), and the
# command that writes $out from $in. New converters or settings are new lines here.
converters() {
  local palette dither
  for palette in Custom Fine; do
    for dither in 0 5 8 10; do
      echo "halcyne $palette|$dither|$halcyne \$in -o \$out --colors 256 --dither $dither --palette $palette --transparency none --no-prefs -q"
    done
  done
  for dither in 1 2 3 4 6 7 9; do
    echo "halcyne Fine|$dither|$halcyne \$in -o \$out --colors 256 --dither $dither --palette Fine --transparency none --no-prefs -q"
  done
  for dither in None Riemersma FloydSteinberg; do
    echo "ImageMagick|$dither|$magick \$in -dither $dither -colors 256 \$out"
  done
  for dither in none sierra2_4a; do
    echo "FFmpeg|$dither|ffmpeg -y -v error -i \$in -filter_complex 'split[a][b];[a]palettegen=max_colors=256:stats_mode=full[p];[b][p]paletteuse=dither=$dither' \$out"
  done
  echo "pngquant|--nofs|pngquant_gif \$out --nofs"
  echo "pngquant|dithered|pngquant_gif \$out"
}

# Size, colours, PSNR and blurred PSNR of every output, one line each, in the order given.
measure() {
  /usr/bin/python3 - "$@" <<'PY'
import math, os, sys
from PIL import Image, ImageChops, ImageFilter, ImageStat, PngImagePlugin
PngImagePlugin.MAX_TEXT_CHUNK = 1 << 30  # some photographs carry large compressed metadata
blur = ImageFilter.BoxBlur(1)
source = Image.open(sys.argv[1]).convert("RGB")
blurred = source.filter(blur)
def psnr(x, y):
    mse = sum(v * v for v in ImageStat.Stat(ImageChops.difference(x, y)).rms) / 3
    return 99.0 if mse == 0 else 10 * math.log10(255 * 255 / mse)
for output in sys.argv[2:]:
    b = Image.open(output).convert("RGB")
    print(os.path.getsize(output), len(b.getcolors(1 << 24)), f"{psnr(source, b):.2f}", f"{psnr(blurred, b.filter(blur)):.2f}")
PY
}

# Where fine dithering stands: for each error-diffusion peer, the fine amounts whose blurred PSNR is at least the
# peer's with a file no larger; and whether undithered fine beats each peer's undithered PSNR.
summary() {
  awk -F'\t' '
    { group[NR] = $1; setting[NR] = $2; bytes[NR] = $3; psnr[NR] = $5; blurred[NR] = $6 }
    END {
      split("ImageMagick|FloydSteinberg FFmpeg|sierra2_4a pngquant|dithered", dithered, " ")
      split("ImageMagick|None FFmpeg|none pngquant|--nofs", plain, " ")
      for (k = 1; k <= 3; ++k) {
        split(dithered[k], peer, "|"); wins = ""
        for (i = 1; i <= NR; ++i) if (group[i] == peer[1] && setting[i] == peer[2]) p = i
        for (i = 1; i <= NR; ++i)
          if (group[i] == "halcyne Fine" && setting[i] > 0 && blurred[i] >= blurred[p] && bytes[i] <= bytes[p])
            wins = wins " " setting[i]
        printf "fine dithering against %-27s %s\n", peer[1] " " peer[2] ":", (wins == "" ? "NOT MET" : "met by" wins)
      }
      for (i = 1; i <= NR; ++i) if (group[i] == "halcyne Fine" && setting[i] == 0) f = i
      for (k = 1; k <= 3; ++k) {
        split(plain[k], peer, "|")
        for (i = 1; i <= NR; ++i) if (group[i] == peer[1] && setting[i] == peer[2]) p = i
        printf "undithered fine against %-26s %s (%.2f against %.2f dB)\n", peer[1] " " peer[2] ":",
          (psnr[f] >= psnr[p] ? "met" : "NOT MET"), psnr[f], psnr[p]
      }
    }' "$1"
}

# Size against PSNR and against blurred PSNR, one series per group; halcyne's points carry their dithering amount.
chart() {
  local table=$1 png=$2 title=$3
  gnuplot <<GP
set terminal pngcairo size 1500,620 font "sans,10" noenhanced
set output "$png"
set datafile separator "\t"
set multiplot layout 1,2 title "$title: 256 colours, GIF size against quality (up and to the left is better)"
set key bottom right
set grid
set xlabel "GIF size (KB)"
do for [col=5:6] {
  set ylabel (col == 5 ? "PSNR (dB)" : "PSNR after a 3 x 3 box blur (dB)")
  plot for [g in "Custom Fine"] "< grep '^halcyne ".g."' $table" using (\$3/1024):(column(col)) with linespoints pt 7 ps 1.2 title "halcyne ".g, \
       for [g in "Custom Fine"] "< grep '^halcyne ".g."' $table" using (\$3/1024):(column(col)):2 with labels offset 0.8,0.6 notitle, \
       for [g in "ImageMagick FFmpeg pngquant"] "< grep '^".g."' $table" using (\$3/1024):(column(col)) with points pt 5 ps 1.6 title g, \
       for [g in "ImageMagick FFmpeg pngquant"] "< grep '^".g."' $table" using (\$3/1024):(column(col)):2 with labels offset 0,-1 font ",8" notitle
}
unset multiplot
GP
}

for picture in "${pictures[@]}"; do
  in=$(bench_picture "$picture")
  name=$(basename "${in%.png}")
  out_dir=$results/$name
  mkdir -p "$out_dir"
  table=$out_dir/results.tsv
  : >"$table"
  outputs=()
  lines=()
  while IFS='|' read -r group setting command; do
    out=$out_dir/$(echo "$group-$setting" | tr -c 'A-Za-z0-9_.\n-' '_').gif
    ms=$(eval timed "$command")
    outputs+=("$out")
    lines+=("$group"$'\t'"$setting"$'\t'"$ms")
  done < <(converters)
  i=0
  while read -r bytes colours psnr blurred; do
    IFS=$'\t' read -r group setting ms <<<"${lines[$i]}"
    printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$group" "$setting" "$bytes" "$colours" "$psnr" "$blurred" "$ms" >>"$table"
    i=$((i + 1))
  done < <(measure "$in" "${outputs[@]}")
  # Halcyne's points in the order of their amounts, so that each group's line runs along its scale.
  sort -t$'\t' -k1,1 -k2,2n -s "$table" -o "$table"

  printf '\n== %s (%s), 256 colours\n' "$picture" "$(identify -format '%w x %h, %k colours' "$in")"
  printf '%-30s %10s %8s %7s %8s %7s\n' converter bytes colours PSNR blurred ms
  awk -F'\t' '{ printf "%-30s %10d %8d %7.2f %8.2f %7d\n", $1 " " $2, $3, $4, $5, $6, $7 }' "$table"
  summary "$table"
  chart "$table" "$results/$name.png" "$picture"
  echo "chart: $results/$name.png"
  frontier_rows "$picture" "$in" "$out_dir" "$results/$name-frontier.png"
done
