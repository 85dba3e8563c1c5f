# Sourced by scripts/bench-quality.sh: the lossy frontier of one picture. The peers are gifsicle's --lossy 20, 40
# and 80 applied to pngquant's GIF, dithered and not. For each peer file, the smallest GIF of ours that is at least
# as close to the source (PSNR, and the blurred PSNR too where the peer dithers) is looked for with --max-size set
# to the peer's size, over the palette and dithering amounts listed below; our own lossy levels are listed beside.
# Every file measured is also a row of $out/frontier.tsv (role, name, bytes, PSNR, blurred PSNR), for a chart of
# size against PSNR.
#
# Uses from bench-quality.sh: $halcyne, and measure SOURCE OUTPUT, which prints colours, PSNR and blurred PSNR.

frontier_levels=(0 10 20 40 60 100)
# Our candidates against a dithering peer and against one that does not dither: palette:dither.
frontier_dithered=(Fine:6 Fine:8)
frontier_plain=(Fine:0 Fine:4)

frontier_row() {
  local tsv=$1 role=$2 name=$3 file=$4 bytes psnr blurred
  read -r _ psnr blurred < <(measure "$frontier_photo" "$file")
  bytes=$(stat -c %s "$file")
  printf '%s\t%s\t%d\t%s\t%s\n' "$role" "$name" "$bytes" "$psnr" "$blurred" >>"$tsv"
  echo "$bytes $psnr $blurred"
}

frontier_rows() {
  frontier_photo=$1
  local out=$2/frontier
  local tsv=$2/frontier.tsv
  mkdir -p "$out"
  printf 'role\tname\tbytes\tpsnr\tblurred\n' >"$tsv"
  printf '\n-- lossy frontier: ours against gifsicle --lossy on pngquant 256 (bytes, PSNR, blurred PSNR)\n'

  local level palette dither candidate file
  for dither in 0 8; do
    for level in "${frontier_levels[@]}"; do
      file=$out/ours-Fine-$dither-$level.gif
      "$halcyne" "$frontier_photo" -o "$file" --palette Fine --dither "$dither" --lossy "$level" \
        --transparency none --no-prefs -q
      printf '%-44s %10d %7.2f %8.2f\n' "halcyne --palette Fine --dither $dither --lossy $level" \
        $(frontier_row "$tsv" ours "Fine dither $dither lossy $level" "$file")
    done
  done

  local flags tag gif peer bytes psnr blurred candidates dithers best_margin best_line chose margin
  local ours_bytes ours_psnr ours_blurred
  for flags in "" --nofs; do
    tag=pngquant${flags}
    dithers=$([ -z "$flags" ] && echo 1 || echo 0)
    # shellcheck disable=SC2086  # an empty flag is no argument
    pngquant 256 $flags --force --output "$out/$tag.png" "$frontier_photo"
    /usr/bin/python3 -c 'import sys; from PIL import Image; Image.open(sys.argv[1]).save(sys.argv[2])' \
      "$out/$tag.png" "$out/$tag.gif"
    if [ "$dithers" = 1 ]; then candidates=("${frontier_dithered[@]}"); else candidates=("${frontier_plain[@]}"); fi
    for level in 20 40 80; do
      peer="$tag + gifsicle -O3 --lossy=$level"
      gif=$out/$tag-gifsicle$level.gif
      gifsicle -O3 --lossy="$level" "$out/$tag.gif" -o "$gif"
      read -r bytes psnr blurred < <(frontier_row "$tsv" peer "$peer" "$gif")
      printf '%-44s %10d %7.2f %8.2f\n' "$peer" "$bytes" "$psnr" "$blurred"
      best_margin="" best_line="  (no setting of ours fits in $bytes bytes)"
      for candidate in "${candidates[@]}"; do
        palette=${candidate%:*} dither=${candidate#*:}
        file=$out/match-$tag-$level-$palette-$dither.gif
        chose=$("$halcyne" "$frontier_photo" -o "$file" --palette "$palette" --dither "$dither" --max-size "$bytes" \
          --transparency none --no-prefs 2>&1 | grep -o '[0-9]* colours, lossy [0-9]*') || continue
        read -r ours_bytes ours_psnr ours_blurred < <(frontier_row "$tsv" match \
          "$palette dither $dither, $chose (for $peer)" "$file")
        # How much closer ours is: by PSNR, and by blurred PSNR too where the peer dithers.
        margin=$(awk -v p="$ours_psnr" -v pp="$psnr" -v b="$ours_blurred" -v pb="$blurred" -v d="$dithers" \
          'BEGIN { m = p - pp; if (d && b - pb < m) m = b - pb; printf "%.2f", m }')
        if [ -z "$best_margin" ] || awk -v a="$margin" -v b="$best_margin" 'BEGIN { exit !(a > b) }'; then
          best_margin=$margin
          best_line=$(printf '  %-42s %10d %7.2f %8.2f  %s by %+.2f dB' "ours: $palette dither $dither, $chose" \
            "$ours_bytes" "$ours_psnr" "$ours_blurred" \
            "$(awk -v m="$margin" 'BEGIN { print (m >= 0 ? "holds" : "FAILS") }')" "$margin")
        fi
      done
      echo "$best_line"
    done
  done
}
