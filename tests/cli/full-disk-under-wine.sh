#!/usr/bin/env bash
# halcyne.exe under Wine writing onto a small drive (a tmpfs mapped as drive Q: in a private prefix): a drive that
# fills part-way, and one without room for another file, must both be told as a full disk, keep the old output and
# leave no temporary file. Exits 77 (skipped) where the drive cannot be mounted (not root, no tmpfs).
set -u
exe=$1
scripts=$(cd "$(dirname "$0")/../../scripts" && pwd)
work=$(mktemp -d)
drive=$work/drive
mkdir -p "$drive"
# The closing lines follow the test framework's summary, so the test script's count includes these cases.
if ! mount -t tmpfs -o size=64k,nr_inodes=64 tmpfs "$drive" 2>/dev/null; then
  echo "cannot mount a small drive here"
  echo "[  SKIPPED ] 2 tests."
  rm -rf "$work"
  exit 77
fi
export HALCYNE_WINEPREFIX=$work/prefix
cleanup() {
  WINEPREFIX=$HALCYNE_WINEPREFIX wineserver -k 2>/dev/null
  umount "$drive"
  rm -rf "$work"
}
trap cleanup EXIT

# A fresh prefix, then the drive letter.
"$scripts/wine-run.sh" "$exe" --version >/dev/null 2>&1 || { echo "FAIL: halcyne.exe does not start"; exit 1; }
ln -s "$drive" "$HALCYNE_WINEPREFIX/dosdevices/q:"

# Noise compresses badly: its GIF is larger than the drive.
{ printf 'P6\n300 300\n255\n'; head -c 270000 /dev/urandom; } >"$work/noise.ppm"
passed=0
failed=0

expect_full_disk() {
  local what=$1
  printf 'old' >"$drive/out.gif"
  local output code
  output=$("$scripts/wine-run.sh" "$exe" "Z:$work/noise.ppm" -o 'Q:\out.gif' --no-prefs -q 2>&1)
  code=$?
  local leftovers
  leftovers=$(ls -A "$drive" | grep -v -e '^out.gif$' -e '^filler' || true)
  if [ "$code" -ne 1 ] || ! grep -qF 'cannot write Q:\out.gif: the disk is full' <<<"$output" ||
     ! grep -qF 'No file was written; an existing Q:\out.gif is unchanged.' <<<"$output" ||
     [ "$(cat "$drive/out.gif")" != old ] || [ -n "$leftovers" ]; then
    echo "FAIL ($what): status $code, left: ${leftovers:-nothing}, said: $output"
    failed=$((failed + 1))
  else
    echo "ok ($what): $output"
    passed=$((passed + 1))
  fi
}

expect_full_disk "the drive fills part-way"
# Every inode taken: not even the temporary file can be created.
i=0
while touch "$drive/filler$i" 2>/dev/null; do i=$((i + 1)); done
expect_full_disk "no room for the temporary file"
echo "[  PASSED  ] $passed tests."
[ "$failed" -eq 0 ] || { echo "[  FAILED  ] $failed tests, listed above"; exit 1; }
