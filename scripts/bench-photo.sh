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
