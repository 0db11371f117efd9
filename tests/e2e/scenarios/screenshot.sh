#!/usr/bin/env bash
# What a person sees: the client area's size, the memo's colour, the
# background picture around the controls, the logo's animation. The
# screenshot is kept as an artifact.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin screenshot

: "${NORV_E2E_BACKGROUND:?NORV_E2E_BACKGROUND (the background JPEG) is not set}"
: "${NORV_E2E_ARTIFACTS:?NORV_E2E_ARTIFACTS is not set}"
mkdir -p "$NORV_E2E_ARTIFACTS"
shots="$E2E_WORK/shots"
mkdir -p "$shots"
cp1252 'Bem-vindo à atualização.' >"$E2E_WORK/Dados.txt"

installer_start "$E2E_WORK" 'OVERWRITE PacRH.001'
installer_wait_window

same() { [ "$(compare -metric AE "$1" "$2" null: 2>&1)" = 0 ]; }

stable="$shots/stable.png"
grab_stable "$stable"
cp "$stable" "$NORV_E2E_ARTIFACTS/installer.png"
e2e_note "screenshot: $NORV_E2E_ARTIFACTS/installer.png"

read -r _ x y w h < <(drv geometry "$FORM" | grep '^client ')
expect_eq "client size" "${w}x$h" 644x343

# Crops a rectangle of the client area: client_crop SCREEN OUT W H X Y
client_crop() { convert "$1" -crop "$3x$4+$((x + $5))+$((y + $6))" +repage "$2"; }
pixel() { convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}'; }
background="$shots/background.png"
convert "$NORV_E2E_BACKGROUND" -crop 644x331+0+0 +repage "$background"
expect_eq "picture size" "$(identify -format %wx%h "$NORV_E2E_BACKGROUND")" 752x500

# The memo's background, at a place without text.
client_crop "$stable" "$shots/client.png" 644 343 0 0
expect_eq "memo colour" "$(pixel "$shots/client.png" 600 220)" '#F0FBFF'
expect_eq "memo colour" "$(pixel "$shots/client.png" 20 200)" '#F0FBFF'

# The background picture, drawn unscaled from the top-left corner, where no
# control covers it: allow for the decoders' rounding, not for a shift.
# compare exits 1 when the images differ at all: only its figure counts.
rmse() { { compare -metric RMSE "$1" "$2" null: 2>&1 || true; } | sed 's/.*(\(.*\))/\1/'; }
for area in '644 7 0 0' '9 234 635 7' '205 82 196 246' '640 4 0 327'; do
  read -r aw ah ax ay <<<"$area"
  client_crop "$stable" "$shots/seen.png" "$aw" "$ah" "$ax" "$ay"
  convert "$background" -crop "${aw}x$ah+$ax+$ay" +repage "$shots/picture.png"
  error=$(rmse "$shots/seen.png" "$shots/picture.png")
  awk -v e="$error" 'BEGIN { exit !(e < 0.02) }' ||
    e2e_fail "background differs at ${aw}x$ah+$ax+$ay (normalized RMSE $error)"
done
# Colours #RRGGBB within 6 per channel of each other.
close_colour() {
  local i d
  for i in 1 3 5; do
    d=$((16#${1:i:2} - 16#${2:i:2}))
    ((d <= 6 && d >= -6)) || return 1
  done
}
for spot in '300 300' '640 100' '5 240' '360 258'; do
  read -r px py <<<"$spot"
  seen=$(pixel "$shots/client.png" "$px" "$py")
  want=$(pixel "$background" "$px" "$py")
  close_colour "$seen" "$want" || e2e_fail "pixel ($px,$py) is $seen, the picture has $want"
done

# The logo covers its box and shows a new frame every 600 ms.
client_crop "$stable" "$shots/logo0.png" 177 73 11 249
convert "$background" -crop 177x73+11+249 +repage "$shots/under-logo.png"
awk -v e="$(rmse "$shots/logo0.png" "$shots/under-logo.png")" 'BEGIN { exit !(e > 0.05) }' ||
  e2e_fail "no logo over the background picture"
# Grabs the logo's box now; prints the milliseconds before and after.
logo_now() {
  local before
  before=$(($(date +%s%N) / 1000000))
  timeout 30 import -window root -crop "177x73+$((x + 11))+$((y + 249))" +repage "$1" ||
    e2e_fail "import failed"
  echo "$before $(($(date +%s%N) / 1000000))"
}
# Each frame stays 600 ms and a cycle of four takes 2400 ms: two grabs at
# least 600 and less than 1800 ms apart must show different frames. Pairs
# that a busy machine pushed out of that window are taken again.
checked=0
for ((attempt = 0; attempt < 20 && checked < 3; attempt++)); do
  read -r a0 a1 < <(logo_now "$shots/logoA.png")
  sleep 0.65
  read -r b0 b1 < <(logo_now "$shots/logoB.png")
  ((b0 - a1 >= 600 && b1 - a0 < 1800)) || continue
  if same "$shots/logoA.png" "$shots/logoB.png"; then
    e2e_fail "the logo did not change between grabs $((b0 - a1))..$((b1 - a0)) ms apart"
  fi
  checked=$((checked + 1))
done
((checked == 3)) || e2e_fail "the machine was too busy to time the logo's frames"
installer_close
