#!/usr/bin/env bash
# Builds the native and both Windows targets and runs every test suite: natively under the sanitizers,
# and the Windows builds under Wine in a virtual display. Ends with 'N passed, N failed'.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh || { echo "dependency installation failed" >&2; exit 1; }

logs=$root/build/test-logs
rm -rf "$logs"
mkdir -p "$logs"
status=0

build() {
  cmake --preset "$1" >"$logs/configure-$1.log" 2>&1 && cmake --build --preset "$1" >"$logs/build-$1.log" 2>&1 \
    || { echo "build of $1 failed:" >&2; tail -n 40 "$logs/configure-$1.log" "$logs/build-$1.log" >&2; return 1; }
}

for preset in win32 win64 native; do
  echo "== building $preset" >&2
  build "$preset" || exit 1
done

# The release archive: both modules, the Windows command and the note on installing; the native module tests
# unpack it and check what it holds.
echo "== release archive" >&2
cmake --build --preset win64 --target package >"$logs/package.log" 2>&1 \
  || { echo "the release archive cannot be made:" >&2; tail -n 40 "$logs/package.log" >&2; exit 1; }
HALCYNE_RELEASE_ARCHIVE=$(ls -t "$root"/build/win64/Halcyne-*-windows.zip | head -n 1)
export HALCYNE_RELEASE_ARCHIVE

export HALCYNE_WIN32_MODULE=$root/build/win32/bin/Halcyne.8bf
export HALCYNE_WIN64_MODULE=$root/build/win64/bin/Halcyne.8bf
export HALCYNE_WIN64_BIN=$root/build/win64/bin

# Each Windows suite includes the window bench, which leaves PNG screenshots of what it drew in
# build/<preset>/screenshots; they are kept after the run, fresh for each run.
run_wine_suite() {
  local preset=$1
  echo "== $preset tests under Wine" >&2
  rm -rf "build/$preset/screenshots"
  (cd "build/$preset" && xvfb-run -a -s "-screen 0 1280x1024x24" ctest -V --timeout 600 >"$logs/$preset.log" 2>&1) \
    || status=1
  for prefix in "$root/build/$preset"/wineprefix*; do
    [ -d "$prefix" ] && WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
  done
  echo "== $preset screenshots: $(find "build/$preset/screenshots" -name '*.png' 2>/dev/null | wc -l) in build/$preset/screenshots" >&2
}

run_wine_suite win64
# 32-bit Windows programs need a kernel that runs 32-bit Linux programs (Wine's 32-bit loader is one).
if HALCYNE_WINE_TIMEOUT=120 xvfb-run -a scripts/wine-run.sh build/win32/bin/wine_probe.exe >/dev/null 2>&1; then
  run_wine_suite win32
  # The native suite compares the 32-bit command's files with its own as well.
  export HALCYNE_WIN32_BIN=$root/build/win32/bin
else
  echo "== win32 tests skipped: this machine cannot start 32-bit programs under Wine" >&2
fi

# After the Windows suites: the native suite also reads the file of their whole interactive run with giflib and
# Pillow.
echo "== native tests" >&2
(cd build/native && ctest -V --timeout 600 >"$logs/native.log" 2>&1) || status=1

# A short fuzzing run per entry, on a copy of its seed corpus (new findings are written beside it, not into git).
fuzz_seconds=${HALCYNE_FUZZ_SECONDS:-60}
if [ "$fuzz_seconds" -gt 0 ]; then
  echo "== fuzzing, ${fuzz_seconds} s per entry" >&2
  if build fuzz; then
    for entry in lzw_decoder lzw_lossy gif_file prefs_loader pnm_reader gif_input bmp_reader; do
      work=$root/build/fuzz/work-$entry
      rm -rf "$work" && mkdir -p "$work/corpus" "$work/findings"
      cp -r tests/fuzz/corpus/$entry/. "$work/corpus/"
      if (cd "$work/findings" && "$root/build/fuzz/bin/halcyne_fuzz_$entry" -max_total_time="$fuzz_seconds" \
            -rss_limit_mb=2048 -print_final_stats=1 "$work/corpus" >"$logs/fuzz-$entry.log" 2>&1); then
        echo "fuzz $entry: $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$logs/fuzz-$entry.log" | grep -o '[0-9]*$') runs, no finding" >&2
      else
        echo "fuzz $entry: FINDING, see $logs/fuzz-$entry.log and $work/findings" >&2
        tail -n 30 "$logs/fuzz-$entry.log" >&2
        status=1
      fi
    done
  else
    status=1
  fi
fi

for log in "$logs"/native.log "$logs"/win*.log; do
  [ -f "$log" ] && grep -E '^[0-9]+: \[  FAILED  \] [A-Za-z]|\*\*\*(Failed|Timeout|Exception)' "$log" | sed "s|^|$(basename "$log"): |" >&2
done
python3 scripts/summarize-tests.py "$logs"/native.log "$logs"/win*.log || status=1
exit $status
