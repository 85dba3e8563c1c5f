# Sourced by the benchmark scripts: makes build/bench-data/<picture>.<ext> from one of the 3840 × 2400
# photographs of Debian's ukui-wallpapers package (downloaded once; nothing lands in the tree).
#
# Usage: source scripts/bench-photo.sh; path=$(bench_photo the-mouse.jpg ppm)
bench_photo() {
  local picture=$1 ext=$2
  local data
  data=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build/bench-data
  mkdir -p "$data"
  (
    cd "$data"
    ls ukui-wallpapers_*.deb >/dev/null 2>&1 || apt-get download ukui-wallpapers >&2
    [ -d root ] || dpkg -x ukui-wallpapers_*.deb root
    [ -f "${picture%.*}.$ext" ] || convert "root/usr/share/backgrounds/$picture" -depth 8 "${picture%.*}.$ext"
  )
  echo "$data/${picture%.*}.$ext"
}

# Any picture the benchmarks name, as an 8-bit RGB PNG under build/bench-data; prints its path. A picture is a file
# of the tree (PNG, JPEG, PPM), ukui:NAME (a 3840 × 2400 image of Debian's ukui-wallpapers) or plasma:NAME (the
# largest image of that wallpaper in Debian's plasma-workspace-wallpapers, downloaded once).
bench_picture() {
  local name=$1 root data png images
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  data=$root/build/bench-data
  mkdir -p "$data"
  case $name in
    ukui:*) bench_photo "${name#ukui:}" png ;;
    plasma:*)
      png=$data/${name#plasma:}.png
      if [ ! -f "$png" ]; then
        (cd "$data" && { ls plasma-workspace-wallpapers_*.deb >/dev/null 2>&1 || apt-get download plasma-workspace-wallpapers >&2; } &&
          { [ -d plasma ] || dpkg -x plasma-workspace-wallpapers_*.deb plasma; })
        images=$data/plasma/usr/share/wallpapers/${name#plasma:}/contents/images
        convert "$images/$(ls "$images" | sort -t x -k1,1n | tail -1)" -depth 8 -type TrueColor "$png"
      fi
      echo "$png" ;;
    *)
      png=$data/$(basename "${name%.*}")-rgb.png
      [ -f "$png" ] || convert "$root/$name" -depth 8 -type TrueColor "$png"
      echo "$png" ;;
  esac
}
