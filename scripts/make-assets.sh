#!/usr/bin/env bash
# Builds Tombolix's default media (background, button pictures, music and
# sound effects) from nothing but ImageMagick, sox and ffmpeg, so every file
# in assets/ is our own and can be rebuilt at any time.
# Re-running gives byte-identical files: fixed seeds, no metadata, no dates.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
out="$here/../assets"
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc

# --- tools -----------------------------------------------------------------
need=()
command -v convert >/dev/null 2>&1 || need+=(imagemagick)
command -v sox >/dev/null 2>&1 || need+=(sox)
command -v ffmpeg >/dev/null 2>&1 || need+=(ffmpeg)
[ -f "$font" ] || need+=(fonts-wqy-microhei)
if [ ${#need[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  echo "make-assets: installing ${need[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Own pseudo-random generator: the layout must not depend on the tools'
# versions or on $RANDOM, so the pictures never change between runs.
seed=20240601
rnd() { # rnd MIN MAX -> $r
  seed=$(((seed * 1103515245 + 12345) % 2147483648))
  r=$(($1 + (seed / 65536) % ($2 - $1 + 1)))
}

# PNG writers stamp dates; these options keep the bytes stable.
png_opts=(-strip -depth 8 -define 'png:exclude-chunks=date,time')
# sox: -R seeds noise and dither with fixed numbers.
sx() { sox -R "$@"; }

# ===========================================================================
# Background: 1920x1080, decorations kept to the sides, corners and edges so
# the centre, where title, number, name and winners are drawn, stays calm.
# ===========================================================================
W=1920
H=1080

# Outer areas where decorations may go: left/right columns, thin top/bottom.
side_point() { # -> $px $py, mostly in the side columns, never on a lantern
  while :; do
    side_point_any
    if [ "$py" -lt 470 ] && { { [ "$px" -gt 60 ] && [ "$px" -lt 360 ]; } || { [ "$px" -gt 1560 ] && [ "$px" -lt 1860 ]; }; }; then
      continue
    fi
    return 0
  done
}
side_point_any() {
  rnd 0 9
  if [ "$r" -lt 8 ]; then
    rnd 0 1
    if [ "$r" -eq 0 ]; then rnd 10 380; else rnd 1540 1910; fi
    px=$r
    rnd 10 1070
    py=$r
  else
    rnd 420 1500
    px=$r
    rnd 0 1
    if [ "$r" -eq 0 ]; then rnd 8 70; else rnd 1010 1072; fi
    py=$r
  fi
}

# Base: elliptical deep red centre falling off to dark crimson, plus a light
# grain so the projector/JPEG does not show banding.
convert -size 1920x1920 radial-gradient:'#a3121d'-'#3b030b' \
  -resize "${W}x${H}!" \
  \( -size "${W}x${H}" gradient:'#00000000'-'#00000066' \) -compose over -composite \
  -seed 7 -attenuate 0.25 +noise Gaussian \
  "$tmp/base.png"

# Soft bokeh: warm gold discs with a brighter rim, blurred; a few big faint
# ones and more small bright ones.
bokeh=()
for k in $(seq 1 50); do
  side_point
  if [ $((k % 3)) -eq 0 ]; then rnd 45 90; rad=$r; rnd 10 20; a=$r; else rnd 10 40; rad=$r; rnd 25 45; a=$r; fi
  rnd 0 2
  case $r in
    0) col="255,190,70" ;;
    1) col="255,150,60" ;;
    *) col="255,210,100" ;;
  esac
  bokeh+=(-fill "rgba($col,0.$(printf %02d "$a"))" -stroke "rgba($col,0.$(printf %02d $((a + 20))))" -strokewidth 2
    -draw "circle $px,$py $((px + rad)),$py")
done
convert -size "${W}x${H}" xc:none "${bokeh[@]}" -blur 0x4 "$tmp/bokeh.png"

# Confetti: small tilted gold, orange and pale strips, like falling paper.
conf=()
for _ in $(seq 1 90); do
  side_point
  rnd 0 179
  ang=$r
  rnd 4 9
  w=$r
  rnd 2 4
  h=$r
  rnd 0 4
  case $r in
    0) col="#ffd34d" ;;
    1) col="#f5b53a" ;;
    2) col="#ffe9a8" ;;
    3) col="#ff8a3d" ;;
    *) col="#e9c46a" ;;
  esac
  conf+=(-fill "$col" -draw "translate $px,$py rotate $ang rectangle -$w,-$h $w,$h")
done
convert -size "${W}x${H}" xc:none "${conf[@]}" -channel A -evaluate multiply 0.85 +channel "$tmp/confetti.png"

# Sparkles: four-pointed gold stars with a glow.
spark=()
for _ in $(seq 1 34); do
  side_point
  rnd 6 20
  s=$r
  t=$((s / 5 + 1))
  spark+=(-draw "polygon $px,$((py - s)) $((px + t)),$((py - t)) $((px + s)),$py $((px + t)),$((py + t)) $px,$((py + s)) $((px - t)),$((py + t)) $((px - s)),$py $((px - t)),$((py - t))")
done
convert -size "${W}x${H}" xc:none -fill '#fff2c0' "${spark[@]}" "$tmp/spark.png"
convert "$tmp/spark.png" -channel RGB -fill '#ffc040' -colorize 100 +channel -blur 0x6 "$tmp/glow.png"

# Lantern drawn from shapes: string, gold caps, red ribbed body, tassel.
lantern() { # lantern CX CY RX RY -> draw args in $ldraw
  local cx=$1 cy=$2 rx=$3 ry=$4
  local capw=$((rx * 45 / 100)) caph=$((ry / 7))
  ldraw=(
    -stroke '#d9a441' -strokewidth 3 -draw "line $cx,0 $cx,$((cy - ry - caph))"
    -stroke '#7a0a0a' -strokewidth 2 -fill '#b5161a' -draw "ellipse $cx,$cy $rx,$ry 0,360"
    -stroke none
    -fill '#c71e1c' -draw "ellipse $cx,$cy $((rx * 86 / 100)),$((ry * 98 / 100)) 0,360"
    -fill '#d6261e' -draw "ellipse $cx,$cy $((rx * 66 / 100)),$((ry * 96 / 100)) 0,360"
    -fill '#e23422' -draw "ellipse $cx,$cy $((rx * 42 / 100)),$((ry * 94 / 100)) 0,360"
    -fill none -stroke '#a3151a' -strokewidth 3
    -draw "ellipse $cx,$cy $((rx * 2 / 3)),$ry 0,360"
    -draw "ellipse $cx,$cy $((rx / 3)),$ry 0,360"
    -draw "line $cx,$((cy - ry)) $cx,$((cy + ry))"
    -stroke none -fill 'rgba(255,190,120,0.28)' -draw "ellipse $((cx - rx / 3)),$((cy - ry / 4)) $((rx / 4)),$((ry / 2)) 0,360"
    -stroke '#8a5a12' -strokewidth 1 -fill '#e8b64c'
    -draw "roundrectangle $((cx - capw)),$((cy - ry - caph)) $((cx + capw)),$((cy - ry + caph / 2)) 4,4"
    -draw "roundrectangle $((cx - capw)),$((cy + ry - caph / 2)) $((cx + capw)),$((cy + ry + caph)) 4,4"
    -stroke '#e8b64c' -strokewidth 3 -draw "line $cx,$((cy + ry + caph)) $cx,$((cy + ry + caph + 16))"
    -stroke none -fill '#e8b64c' -draw "circle $cx,$((cy + ry + caph + 20)) $((cx + 6)),$((cy + ry + caph + 20))"
    -stroke '#e0a83a' -strokewidth 2
  )
  local x
  for x in -10 -6 -2 2 6 10; do
    ldraw+=(-draw "line $((cx + x / 2)),$((cy + ry + caph + 24)) $((cx + x)),$((cy + ry + caph + 24 + ry * 6 / 10))")
  done
}
lant=()
lantern 150 250 78 92
lant+=("${ldraw[@]}")
lantern 1770 250 78 92
lant+=("${ldraw[@]}")
lantern 300 150 48 56
lant+=("${ldraw[@]}")
lantern 1620 150 48 56
lant+=("${ldraw[@]}")
convert -size "${W}x${H}" xc:none "${lant[@]}" "$tmp/lanterns.png"
# Warm light behind each lantern.
convert -size "${W}x${H}" xc:none -fill 'rgba(255,120,40,0.45)' \
  -draw "circle 150,250 270,250" -draw "circle 1770,250 1890,250" \
  -draw "circle 300,150 375,150" -draw "circle 1620,150 1695,150" \
  -blur 0x40 "$tmp/lglow.png"

# Thin golden double frame with small diamonds at the corners.
frame=(-fill none -stroke 'rgba(232,182,76,0.85)' -strokewidth 3 -draw "rectangle 22,22 $((W - 23)),$((H - 23))"
  -stroke 'rgba(232,182,76,0.55)' -strokewidth 1 -draw "rectangle 32,32 $((W - 33)),$((H - 33))"
  -stroke none -fill '#e8b64c')
for c in "22,22" "$((W - 23)),22" "22,$((H - 23))" "$((W - 23)),$((H - 23))"; do
  x=${c%,*} y=${c#*,}
  frame+=(-draw "polygon $x,$((y - 12)) $((x + 12)),$y $x,$((y + 12)) $((x - 12)),$y")
done
convert -size "${W}x${H}" xc:none "${frame[@]}" "$tmp/frame.png"

convert "$tmp/base.png" \
  "$tmp/bokeh.png" -compose plus -composite \
  "$tmp/lglow.png" -compose screen -composite \
  "$tmp/confetti.png" -compose over -composite \
  "$tmp/glow.png" -compose screen -composite \
  "$tmp/spark.png" -compose over -composite \
  "$tmp/lanterns.png" -compose over -composite \
  "$tmp/frame.png" -compose over -composite \
  -strip -interlace none -sampling-factor 4:2:0 -quality 88 "$out/backgroup.jpg"

# ===========================================================================
# Buttons: 180x77 orange pills with black lettering. They are shown shrunk to
# about 105x41, hence the large, slightly stroked (bolder) text.
# ===========================================================================
BW=180
BH=77
pill="roundrectangle 1,1 $((BW - 2)),$((BH - 2)) 37.5,37.5"
inner="roundrectangle 4,4 $((BW - 5)),$((BH - 5)) 34.5,34.5"
# Shape mask, orange body gradient, glossy top highlight, darker rim.
convert -size "${BW}x${BH}" xc:none -fill white -draw "$pill" "$tmp/mask.png"
convert -size "${BW}x${BH}" gradient:'#ffc04d'-'#f07a0a' "$tmp/mask.png" \
  -alpha off -compose copy_opacity -composite "$tmp/body.png"
convert -size "${BW}x${BH}" xc:none \
  -fill 'rgba(255,255,255,0.45)' -draw "roundrectangle 12,5 $((BW - 13)),36 28,16" \
  -blur 0x1.5 "$tmp/gloss.png"
convert "$tmp/body.png" "$tmp/gloss.png" -compose over -composite \
  -fill none -stroke 'rgba(255,236,190,0.7)' -strokewidth 1 -draw "$inner" \
  -stroke '#b45200' -strokewidth 2 -draw "$pill" \
  "$tmp/button.png"

button() { # button FILE TEXT POINTSIZE KERNING
  convert "$tmp/button.png" \
    -font "$font" -pointsize "$3" -kerning "$4" -gravity center \
    -fill black -stroke black -strokewidth 0.8 -annotate +0+1 "$2" \
    "${png_opts[@]}" "$out/$1"
}
button btn_start.png "开始" 36 4
button btn_setup.png "系统设置" 32 1
button btn_items.png "设置奖项" 32 1
button btn_current.png "当前奖项" 32 1
button btn_winners.png "获奖名单" 32 1
button btn_exit.png "退出系统" 32 1

# ===========================================================================
# Sounds. Notes are semitones from A4 (sox's %N); all tracks are built on
# one 120 bpm grid (an eighth is 0.25 s) so they line up when mixed.
# ===========================================================================
SR=44100
EIGHTH=0.25
f32=(-e floating-point -b 32)

# Play a sequence of NOTE:EIGHTHS tokens ("r" is a rest) with a note maker.
sequence() { # sequence OUT MAKER TOKENS...
  local dst=$1 maker=$2 i=0 tok n len parts=()
  shift 2
  for tok in "$@"; do
    n=${tok%:*}
    len=$(awk -v e="${tok#*:}" -v s=$EIGHTH 'BEGIN{printf "%.4f", e*s}')
    i=$((i + 1))
    "$maker" "$tmp/seq_$i.wav" "$n" "$len"
    parts+=("$tmp/seq_$i.wav")
  done
  sx "${parts[@]}" "$dst"
  rm -f "${parts[@]}"
}
silence() { sx -n -r $SR -c 1 "${f32[@]}" "$1" trim 0 "$2"; }
# Mix at full level (plain "sox -m" would divide each input by their count).
mixdown() { # mixdown OUT IN...
  local dst=$1 f args=()
  shift
  for f in "$@"; do args+=(-v 1 "$f"); done
  sx -m "${args[@]}" "${f32[@]}" "$dst"
}
# Fade the end and normalise in a separate pass: in sox 14.4 "gain -n"
# after reverb in the same chain can drop half of the audio.
finish() { # finish IN OUT FADE_OUT_SECONDS OUTPUT_FORMAT...
  local src=$1 dst=$2 fo=$3 len
  shift 3
  len=$(soxi -D "$src")
  sx "$src" "$@" "$dst" fade 0 "$len" "$fo" gain -n -1
}

# Bright plucked bell for the tune.
mel_note() {
  if [ "$2" = r ]; then silence "$1" "$3"; return; fi
  sx -n -r $SR -c 1 "${f32[@]}" "$1" synth "$3" pluck "%$2" sine mix "%$(($2 + 12))" \
    fade q 0.004 "$3" "$(awk -v l="$3" 'BEGIN{printf "%.4f", l*0.7}')" gain -3
}
# Round plucked bass.
bass_note() {
  if [ "$2" = r ]; then silence "$1" "$3"; return; fi
  sx -n -r $SR -c 1 "${f32[@]}" "$1" synth "$3" pluck "%$2" triangle mix "%$2" \
    gain -6 lowpass 900 fade q 0.01 "$3" 0.3
}
# Soft triangle chord, one per bar; N is "a,b,c".
pad_note() {
  local a b c
  IFS=, read -r a b c <<<"$2"
  sx -n -r $SR -c 1 "${f32[@]}" "$1" synth "$3" triangle "%$a" triangle mix "%$b" triangle mix "%$c" \
    gain -6 lowpass 1800 tremolo 4 12 fade h 0.25 "$3" 0.35 gain -6
}

# Progression I-vi-IV-V in C, twice per half.
C="-9,-5,-2"
Am="-12,-9,-5"
F="-16,-12,-9"
G="-14,-10,-7"
chords=()
roots=()
for _ in 1 2 3 4; do
  chords+=("$C:8" "$Am:8" "$F:8" "$G:8")
  roots+=(-21:3 -21:1 -21:4 -24:3 -24:1 -24:4 -28:3 -28:1 -28:4 -26:3 -26:1 -26:4)
done
# End on a long C chord.
chords[15]="$C:8"
roots[45]=-21:3
roots[46]=-21:1
roots[47]=-21:4
chords+=("$C:12")
roots+=(-21:12)

# Pentatonic tune (C D E G A): call and answer, the second time an octave up.
phraseA=(7:2 10:2 12:1 10:1 7:2  15:2 12:2 10:2 7:2  5:2 7:1 10:1 12:2 10:2  7:2 5:2 5:4)
phraseB=(10:1 12:1 15:2 12:1 10:1 7:2  12:2 10:1 7:1 3:2 7:2  5:1 7:1 10:2 7:2 5:2)
hi() { local t up=(); for t in "$@"; do [ "${t%:*}" = r ] && up+=("$t") || up+=("$((${t%:*} + 12)):${t#*:}"); done; tune+=("${up[@]}"); }
tune=("${phraseA[@]}" "${phraseB[@]}" 5:2 7:2 5:4)
hi "${phraseA[@]}"
hi "${phraseB[@]}" 7:2 5:2 3:4 3:12

sequence "$tmp/melody.wav" mel_note "${tune[@]}"
sequence "$tmp/pad.wav" pad_note "${chords[@]}"
sequence "$tmp/bass.wav" bass_note "${roots[@]}"

# One bar of light percussion: soft kick on 1 and 3, rim click on 2 and 4,
# hi-hat on every eighth; repeated for the whole piece.
sx -n -r $SR -c 1 "${f32[@]}" "$tmp/kick.wav" synth 0.25 sine 110-45 fade q 0.002 0.25 0.2 gain -8
sx -n -r $SR -c 1 "${f32[@]}" "$tmp/rim.wav" synth 0.12 noise gain -6 bandpass 2200 1.5q fade q 0.001 0.12 0.11 gain -6
sx -n -r $SR -c 1 "${f32[@]}" "$tmp/hat.wav" synth 0.05 noise gain -6 highpass 7000 fade q 0.001 0.05 0.045 gain -12
bar=()
for e in 0 1 2 3 4 5 6 7; do
  off=$(awk -v e=$e -v s=$EIGHTH 'BEGIN{printf "%.4f", e*s}')
  sx "$tmp/hat.wav" "$tmp/h$e.wav" pad "$off"
  bar+=("$tmp/h$e.wav")
done
sx "$tmp/kick.wav" "$tmp/k0.wav" pad 0
sx "$tmp/kick.wav" "$tmp/k4.wav" pad 1.0
sx "$tmp/rim.wav" "$tmp/r2.wav" pad 0.5
sx "$tmp/rim.wav" "$tmp/r6.wav" pad 1.5
silence "$tmp/bar0.wav" 2.0
mixdown "$tmp/bar.wav" "$tmp/bar0.wav" "${bar[@]}" "$tmp/k0.wav" "$tmp/k4.wav" "$tmp/r2.wav" "$tmp/r6.wav"
# 16 bars of drums, then silence under the final chord.
sx "$tmp/bar.wav" "$tmp/drums.wav" repeat 15 pad 0 3

# Mix, spread in stereo, add a little room, fade the tail.
sx -M "$tmp/melody.wav" "$tmp/pad.wav" "$tmp/bass.wav" "$tmp/drums.wav" "${f32[@]}" "$tmp/mix.wav" \
  remix 1v0.55,2v0.45,3v0.6,4v0.35 1v0.45,2v0.55,3v0.6,4v0.35 \
  gain -12 reverb 35 50 70 100 10
finish "$tmp/mix.wav" "$tmp/master.wav" 2.5 "${f32[@]}"
ffmpeg -nostdin -loglevel error -y -i "$tmp/master.wav" \
  -map_metadata -1 -fflags +bitexact -flags:a +bitexact \
  -c:a wmav2 -b:a 128k -ar 44100 -ac 2 "$out/back.wma"

# Drum roll: ever faster snare strokes growing louder, about 4 s.
strokes=()
t=0
i=0
while awk -v t="$t" 'BEGIN{exit !(t < 3.95)}'; do
  # Interval shrinks from 70 ms to 40 ms; volume rises from -22 dB to 0 dB.
  read -r gap vol < <(awk -v t="$t" 'BEGIN{p=t/3.95; printf "%.4f %.2f\n", 0.07-0.03*p, -22+22*p^1.5}')
  rnd 0 6
  vol=$(awk -v v="$vol" -v j=$r 'BEGIN{printf "%.2f", v-j/4}')
  i=$((i + 1))
  sx -n -r $SR -c 1 "${f32[@]}" "$tmp/st_$i.wav" synth "$gap" noise gain -6 bandpass 2000 0.8q \
    fade l 0.001 "$gap" "$(awk -v g="$gap" 'BEGIN{printf "%.4f", g*0.9}')" gain "$vol"
  strokes+=("$tmp/st_$i.wav")
  t=$(awk -v t="$t" -v g="$gap" 'BEGIN{printf "%.4f", t+g}')
done
sx "${strokes[@]}" "${f32[@]}" "$tmp/roll.wav"
sx "$tmp/roll.wav" "${f32[@]}" "$tmp/roll2.wav" gain -6 highpass 120 equalizer 200 1q +6 reverb 20 50 40
finish "$tmp/roll2.wav" "$out/begin.wav" 0.05 -b 16 -e signed-integer

# Fanfare: a short pickup then a held bright C major chord over a cymbal
# crash, about 2 s.
brass() { # brass OUT LEN NOTES...
  local dst=$1 len=$2 tones=() n first=1
  shift 2
  for n in "$@"; do
    # A slightly detuned twin of each note thickens it like a brass section.
    if [ $first -eq 1 ]; then tones+=(sawtooth "%$n"); first=0; else tones+=(sawtooth mix "%$n"); fi
    tones+=(sawtooth mix "%$n.1")
  done
  sx -n -r $SR -c 1 "${f32[@]}" "$dst" synth "$len" "${tones[@]}" gain -6 \
    lowpass 2800 lowpass 4500 overdrive 4 fade q 0.02 "$len" "$(awk -v l="$len" 'BEGIN{printf "%.3f", l*0.5}')"
}
brass "$tmp/fa.wav" 0.16 -2 3 7
silence "$tmp/fgap.wav" 0.04
brass "$tmp/fb.wav" 1.9 -9 -2 3 7 10 15
sx "$tmp/fa.wav" "$tmp/fgap.wav" "$tmp/fb.wav" "$tmp/fan.wav"
sx -n -r $SR -c 1 "${f32[@]}" "$tmp/crash.wav" synth 1.9 noise gain -6 highpass 3500 fade l 0.002 1.9 1.85 pad 0.2 gain -8
mixdown "$tmp/fan2.wav" "$tmp/fan.wav" "$tmp/crash.wav"
sx "$tmp/fan2.wav" "${f32[@]}" "$tmp/fan3.wav" gain -6 reverb 30 50 60
finish "$tmp/fan3.wav" "$out/end.wav" 0.1 -b 16 -e signed-integer

# Short note on where the files come from.
cat >"$out/README.md" <<'EOF'
Default media for Tombolix: `backgroup.jpg` (1920×1080 draw background), `btn_*.png` (180×77 orange buttons),
`back.wma` (background music), `begin.wav` (drum roll when a draw starts) and `end.wav` (fanfare when it stops).
`scripts/make-assets.sh` generates all of them from nothing with ImageMagick, sox and ffmpeg (Debian packages), so none comes from another program.
EOF

echo "make-assets: wrote $(cd "$out" && pwd)"
