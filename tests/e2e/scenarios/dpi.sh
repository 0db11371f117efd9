#!/usr/bin/env bash
# The window at 96, 120 and 144 dpi: the program is declared DPI aware and
# scales its own layout, so the client area grows with the screen's DPI
# (Windows does not stretch it). One screenshot per setting is kept.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin dpi

: "${NORV_E2E_ARTIFACTS:?NORV_E2E_ARTIFACTS is not set}"
mkdir -p "$NORV_E2E_ARTIFACTS"
cp1252 'Bem-vindo à atualização.' >"$E2E_WORK/Dados.txt"

# The screen's DPI as Wine reads it when a program starts.
set_dpi() {
  timeout 60 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f \
    >/dev/null 2>&1 || e2e_fail "cannot set LogPixels to $1"
}
trap 'set_dpi 96; e2e_cleanup' EXIT

for dpi in 96 120 144; do
  set_dpi "$dpi"
  installer_start "$E2E_WORK" 'OVERWRITE PacRH.001'
  installer_wait_window
  shot="$NORV_E2E_ARTIFACTS/installer-${dpi}dpi.png"
  grab_stable "$shot"
  read -r _ _ _ w h < <(drv geometry "$FORM" | grep '^client ')
  e2e_note "$dpi dpi: client area ${w}x$h, screenshot $shot"
  # 644x343 at 96 dpi, scaled by the measured text height: within a tenth
  # of the DPI's ratio.
  awk -v w="$w" -v h="$h" -v d="$dpi" 'BEGIN {
    r = d / 96; exit !(w > 644 * r * 0.9 && w < 644 * r * 1.1 && h > 343 * r * 0.9 && h < 343 * r * 1.1)
  }' || e2e_fail "client area ${w}x$h at $dpi dpi"
  installer_close
done
