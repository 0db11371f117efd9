#!/usr/bin/env bash
# Pictures are decoration: a copy of the program whose logo (GIF) or
# background (JPEG) resource has one damaged byte opens its window without
# that picture, shows no error box and installs as usual.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin pictures

mkdir -p "$E2E_WORK/src"
printf 'conteudo\r\n' >"$E2E_WORK/src/LEIAME.TXT"
norvarc_create --prefix 'C:\NORVPIC' "$E2E_WORK/PacPic.001" "$E2E_WORK/src/LEIAME.TXT"
printf 'Figuras danificadas\r\n' >"$E2E_WORK/Dados.txt"

# The byte offset of the first match of a byte pattern (grep -P escapes) in FILE.
offset_of() { grep -obUaP "$1" "$2" | head -n1 | cut -d: -f1; }

original=$NORV_E2E_EXE
# The logo's header (177 x 73) loses its signature; the background's
# start-of-image marker is broken.
for damage in 'GIF89a\xB1\x00\x49\x00' '\xFF\xD8\xFF\xE0\x00\x10JFIF'; do
  copy="$E2E_WORK/NorvInstall-damaged.exe"
  cp "$original" "$copy"
  at=$(offset_of "$damage" "$copy")
  [ -n "$at" ] || e2e_fail "picture resource not found in the program: $damage"
  printf 'X' | dd of="$copy" bs=1 seek=$((at + 1)) conv=notrunc status=none
  rm -rf "$(drive_c 'C:\NORVPIC')"

  NORV_E2E_EXE=$copy
  installer_start "$E2E_WORK" 'OVERWRITE PacPic.001'
  installer_wait_window || e2e_fail "no window with a damaged picture ($damage)"
  drv click "$FORM" '&Instalar' 30000 >/dev/null
  installer_wait_banner
  memo_lines >"$E2E_WORK/log.txt"
  expect_banner "$E2E_WORK/log.txt" '*** PROCESSO CONCLUÍDO ***'
  cmp "$E2E_WORK/src/LEIAME.TXT" "$(drive_c 'C:\NORVPIC\LEIAME.TXT')" ||
    e2e_fail "LEIAME.TXT not restored with a damaged picture ($damage)"
  installer_close
done
NORV_E2E_EXE=$original
