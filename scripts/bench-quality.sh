#!/usr/bin/env bash
# Picture quality per byte, side by side: halcyne's default and fine palettes (dithering 0, 5, 8, 10) beside
# ImageMagick, FFmpeg and pngquant on the same 3840 × 2400 photographs, 256 colours each. For every output: file
# size, colours used, PSNR over RGB against the source, PSNR after a 3 × 3 box blur of both (how dithering looks
# from a little further away) and wall time. Downloads and outputs stay in build/, never in the tree.
#
# The lossy frontier (scripts/bench-frontier.sh) follows each picture's table.
#
# Usage: scripts/bench-quality.sh [picture-name...]   (files of ukui-wallpapers; default the-mouse.jpg)
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
data=$root/build/bench-data
pictures=("$@")
[ ${#pictures[@]} -gt 0 ] || pictures=(the-mouse.jpg)
source "$root/scripts/bench-photo.sh"
source "$root/scripts/bench-frontier.sh"

# The peers, from Debian's packages, and Pillow for the measurements.
peers=(imagemagick ffmpeg pngquant gifsicle python3-pil)
missing=()
for package in "${peers[@]}"; do
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
  "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo $(((end - start) / 1000000))
}

measure() {
  /usr/bin/python3 - "$@" <<'PY'
import sys
from PIL import Image, ImageChops, ImageFilter, ImageStat, PngImagePlugin
PngImagePlugin.MAX_TEXT_CHUNK = 1 << 30  # some photographs carry large compressed metadata
source, output = sys.argv[1], sys.argv[2]
a = Image.open(source).convert("RGB")
decoded = Image.open(output)
colours = len(decoded.convert("RGB").getcolors(1 << 24))
b = decoded.convert("RGB")
def psnr(x, y):
    mse = sum(v * v for v in ImageStat.Stat(ImageChops.difference(x, y)).rms) / 3
    return 99.0 if mse == 0 else 10 * __import__("math").log10(255 * 255 / mse)
blur = ImageFilter.BoxBlur(1)
print(f"{colours:7d} {psnr(a, b):7.2f} {psnr(a.filter(blur), b.filter(blur)):8.2f}")
PY
}

for picture in "${pictures[@]}"; do
  photo=$(bench_photo "$picture" png)
  out=$data/quality/${picture%.*}
  mkdir -p "$out"
  printf '\n== %s (%s), 256 colours\n' "$picture" "$(identify -format '%w x %h' "$photo")"
  printf '%-34s %10s %7s %7s %8s %7s\n' converter bytes colours PSNR blurred ms
  row() {
    local name=$1 file=$2 ms=$3
    printf '%-34s %10d %s %7d\n' "$name" "$(stat -c %s "$file")" "$(measure "$photo" "$file")" "$ms"
  }
  for palette in Custom Fine; do
    for dither in 0 5 8 10; do
      file=$out/halcyne-$palette-$dither.gif
      ms=$(timed "$halcyne" "$photo" -o "$file" --colors 256 --dither "$dither" --palette "$palette" \
        --transparency none --no-prefs -q)
      row "halcyne --palette $palette --dither $dither" "$file" "$ms"
    done
  done
  for dither in None Riemersma FloydSteinberg; do
    file=$out/magick-$dither.gif
    ms=$(timed "$magick" "$photo" -dither "$dither" -colors 256 "$file")
    row "ImageMagick -dither $dither" "$file" "$ms"
  done
  for dither in none sierra2_4a; do
    file=$out/ffmpeg-$dither.gif
    ms=$(timed ffmpeg -y -v error -i "$photo" -filter_complex \
      "split[a][b];[a]palettegen=max_colors=256:stats_mode=full[p];[b][p]paletteuse=dither=$dither" "$file")
    row "FFmpeg paletteuse dither=$dither" "$file" "$ms"
  done
  for flags in --nofs ""; do
    file=$out/pngquant${flags:-default}.png
    # shellcheck disable=SC2086  # an empty flag is no argument
    ms=$(timed pngquant 256 $flags --force --output "$file" "$photo")
    row "pngquant 256 ${flags:-(dithered)} (PNG)" "$file" "$ms"
  done
  frontier_rows "$photo" "$out"
done
