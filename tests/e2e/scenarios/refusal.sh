#!/usr/bin/env bash
# "&Instalar" is refused while a TRHMain window exists: the information
# dialog names the payroll application, the memo keeps the information text
# and nothing is restored. Once the window is gone, a new press installs.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin refusal

mkdir -p "$E2E_WORK/src"
printf 'refused first\n' >"$E2E_WORK/src/RECUSA.TXT"
rm -rf "$(drive_c 'C:\E2E\RECUSA')"
norvarc_create --prefix 'D:\E2E\RECUSA' "$E2E_WORK/PacRH.001" "$E2E_WORK/src/RECUSA.TXT"
# LF and lone CR line breaks, accented letters in Windows-1252.
{ cp1252 'Atualização da folha'; printf '\nsegunda linha\rterceira\r\n'; } >"$E2E_WORK/Dados.txt"
information="$(cp1252 'Atualização da folha')
segunda linha
terceira"

drv_background "$E2E_WORK/hold.out" hold TRHMain
e2e_wait_line "$E2E_WORK/hold.out" holding 60 "$E2E_LAST_PID" >/dev/null

installer_start "$E2E_WORK" 'OVERWRITE PacRH.001'
installer_wait_window
expect_eq "information text" "$(memo_lines)" "$information"

drv click "$FORM" '&Instalar' 30000 >/dev/null
dialog=$(installer_wait_dialog)
expect_eq "dialog count" "$(printf '%s\n' "$dialog" | wc -l)" 1
expect_eq "dialog caption" "$(dialog_field "$dialog" 2)" Information
expect_eq "dialog text" "$(dialog_field "$dialog" 3)" \
  "$(cp1252 'O NorvRH está sendo executado neste computador.\rEncerre-o antes de prosseguir com a instalação.')"
expect_eq "dialog buttons" "$(dialog_field "$dialog" 4)" '1:OK'
# The window takes no input while the dialog is open.
if drv click "$FORM" '&Instalar' 500 >/dev/null 2>&1; then
  e2e_fail "'&Instalar' could be pressed under the modal dialog"
fi
installer_answer ok
expect_eq "memo after the refusal" "$(memo_lines)" "$information"
expect_eq "progress after the refusal" "$(drv progress "$FORM")" "progress 0 0 100"
expect_no_file "$(drive_c 'C:\E2E\RECUSA\RECUSA.TXT')"

# The user ends the payroll application and presses again.
drv close TRHMain 30000 >/dev/null
drv click "$FORM" '&Instalar' 30000 >/dev/null
installer_wait_banner
memo_lines >"$E2E_WORK/log.txt"
expect_eq "first line" "$(head -n1 "$E2E_WORK/log.txt")" 'Descompactando: C:\E2E\RECUSA\RECUSA.TXT...'
expect_banner "$E2E_WORK/log.txt" '*** PROCESSO CONCLUÍDO ***'
cmp "$E2E_WORK/src/RECUSA.TXT" "$(drive_c 'C:\E2E\RECUSA\RECUSA.TXT')"
installer_close
