# Sourced by scripts/bench-quality.sh: the lossy frontier of one picture. The peers are gifsicle's --lossy 20, 40
# and 80 applied to pngquant's GIFs (dithered and not) that the picture's table made. For each peer file, ours is
# made with --max-size set to the peer's size, from each starting point listed below, and the row says
# by how much ours is closer to the source (PSNR, and blurred PSNR too where the peer dithers): the frontier holds
# when some row of ours is at least as close with a file no larger. Our own lossy levels are listed beside. Every
# file measured is a row of frontier.tsv (group, name, bytes, PSNR, blurred PSNR), and a chart shows them.
#
# Uses from bench-quality.sh: $halcyne, and measure SOURCE OUTPUT (bytes, colours, PSNR, blurred PSNR).

frontier_levels=(0 10 20 40 60 100)
frontier_curves=(0 8)  # dithering amounts of our lossy curves
# Our starting points against a dithering peer and against one that does not, as palette:dither:colours: fewer
# colours serve screenshots, whose few colours a lossy level only blurs; at 32 colours dithering 2 leaves a flat
# screenshot as it is but hands the lossy error on, which holds its strong levels back.
frontier_dithered=(Fine:4:256 Fine:5:256 Fine:6:256 Fine:7:256 Fine:8:256 Fine:0:64 Fine:0:32 Fine:2:32)
frontier_plain=(Fine:0:256 Fine:1:256 Fine:2:256 Fine:1:192 Fine:0:224 Fine:0:192 Fine:0:160 Fine:0:64 Fine:0:32
  Fine:2:32)

# Measures `file` against the picture, adds its row to the table and prints bytes, PSNR and blurred PSNR.
frontier_row() {
  local group=$1 name=$2 file=$3 bytes psnr blurred
  read -r bytes _ psnr blurred < <(measure "$frontier_in" "$file")
  printf '%s\t%s\t%d\t%s\t%s\n' "$group" "$name" "$bytes" "$psnr" "$blurred" >>"$frontier_tsv"
  echo "$bytes $psnr $blurred"
}

frontier_chart() {
  local png=$1 title=$2
  gnuplot <<GP
set terminal pngcairo size 1500,620 font "sans,10" noenhanced
set output "$png"
set datafile separator "\t"
set multiplot layout 1,2 title "$title: lossy GIFs, size against quality (up and to the left is better)"
set key bottom right
set grid
set xlabel "GIF size (KB)"
do for [col=4:5] {
  set ylabel (col == 4 ? "PSNR (dB)" : "PSNR after a 3 x 3 box blur (dB)")
  plot for [d in "${frontier_curves[*]}"] "< grep '^halcyne lossy, dither ".d."\t' $frontier_tsv" \
         using (\$3/1024):(column(col)) with linespoints pt 7 ps 1.0 title "halcyne Fine, dither ".d.", lossy ${frontier_levels[*]}", \
       "< grep '^gifsicle on pngquant dithered' $frontier_tsv" using (\$3/1024):(column(col)) with points pt 5 ps 1.6 \
         title "gifsicle --lossy 20/40/80 on pngquant (dithered)", \
       "< grep '^gifsicle on pngquant --nofs' $frontier_tsv" using (\$3/1024):(column(col)) with points pt 13 ps 1.6 \
         title "gifsicle --lossy 20/40/80 on pngquant --nofs", \
       "< grep '^halcyne --max-size' $frontier_tsv" using (\$3/1024):(column(col)) with points pt 6 ps 1.6 \
         title "halcyne --max-size at each peer's size"
}
unset multiplot
GP
}

# How much closer ours is than the peer: by PSNR, and by blurred PSNR too where the peer dithers.
frontier_margin() {
  awk -v p="$1" -v b="$2" -v pp="$3" -v pb="$4" -v d="$5" 'BEGIN { m = p - pp; if (d && b - pb < m) m = b - pb; printf "%.2f", m }'
}

frontier_rows() {
  local picture=$1 png=$4
  frontier_in=$2
  frontier_tsv=$3/frontier.tsv
  local dir=$3/frontier
  mkdir -p "$dir"
  printf 'group\tname\tbytes\tpsnr\tblurred\n' >"$frontier_tsv"
  printf '\n-- %s, lossy: ours beside gifsicle --lossy on pngquant 256 (bytes, PSNR, blurred PSNR)\n' "$picture"

  local level dither file
  for dither in "${frontier_curves[@]}"; do
    for level in "${frontier_levels[@]}"; do
      file=$dir/halcyne-Fine-$dither-$level.gif
      "$halcyne" "$frontier_in" -o "$file" --palette Fine --dither "$dither" --lossy "$level" --transparency none \
        --no-prefs -q
      # shellcheck disable=SC2046  # the three numbers are meant to become three arguments
      printf '%-48s %10d %7.2f %8.2f\n' "halcyne --palette Fine --dither $dither --lossy $level" \
        $(frontier_row "halcyne lossy, dither $dither" "lossy $level" "$file")
    done
  done

  local setting dithers base peer bytes psnr blurred candidate palette colours chose margin best best_line
  local ours_bytes ours_psnr ours_blurred candidates
  for setting in dithered --nofs; do
    dithers=$([ "$setting" = dithered ] && echo 1 || echo 0)
    base=$3/$(echo "pngquant-$setting" | tr -c 'A-Za-z0-9_.\n-' '_').gif
    if [ "$dithers" = 1 ]; then candidates=("${frontier_dithered[@]}"); else candidates=("${frontier_plain[@]}"); fi
    for level in 20 40 80; do
      peer="pngquant $setting + gifsicle -O3 --lossy=$level"
      file=$dir/gifsicle-$(echo "$setting" | tr -d -)-$level.gif
      gifsicle -O3 --lossy="$level" "$base" -o "$file"
      read -r bytes psnr blurred < <(frontier_row "gifsicle on pngquant $setting" "lossy $level" "$file")
      printf '%-48s %10d %7.2f %8.2f\n' "$peer" "$bytes" "$psnr" "$blurred"
      best="" best_line="  no setting of ours fits in $bytes bytes: FAILS"
      for candidate in "${candidates[@]}"; do
        IFS=: read -r palette dither colours <<<"$candidate"
        file=$dir/max-size-$(echo "$setting" | tr -d -)-$level-$palette-$dither-$colours.gif
        chose=$("$halcyne" "$frontier_in" -o "$file" --palette "$palette" --dither "$dither" --colors "$colours" \
          --max-size "$bytes" --transparency none --no-prefs 2>&1 | grep -o '[0-9]* colours, lossy [0-9]*') || continue
        read -r ours_bytes ours_psnr ours_blurred < <(frontier_row "halcyne --max-size" \
          "$palette, dither $dither, $chose (for $peer)" "$file")
        margin=$(frontier_margin "$ours_psnr" "$ours_blurred" "$psnr" "$blurred" "$dithers")
        if [ -z "$best" ] || awk -v a="$margin" -v b="$best" 'BEGIN { exit !(a > b) }'; then
          best=$margin
          best_line=$(printf '  %-46s %10d %7.2f %8.2f  %s by %+.2f dB' "ours: $palette, dither $dither, $chose" \
            "$ours_bytes" "$ours_psnr" "$ours_blurred" \
            "$(awk -v m="$margin" 'BEGIN { print (m >= 0 ? "holds" : "FAILS") }')" "$margin")
        fi
      done
      echo "$best_line"
    done
  done
  frontier_chart "$png" "$picture"
  echo "chart: $png"
}
