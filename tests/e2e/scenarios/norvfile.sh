#!/usr/bin/env bash
# C:\NORV exists as a file, so the folder of the update cannot be made: the
# log names the first file with the system's reason before the banner, the
# banner says the process did not finish, and the file C:\NORV stays.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin norvfile

src="$E2E_WORK/src"
mkdir -p "$src"
printf 'rh\n' >"$src/RH.EXE"
norvarc_create --prefix 'D:\NORV' "$E2E_WORK/PacRHTab.001" "$src/RH.EXE"
printf 'Arquivo\r\n' >"$E2E_WORK/Dados.txt"
norv="$(drive_c 'C:\NORV')"
rm -rf "$norv"
printf 'not a folder\n' >"$norv"

installer_start "$E2E_WORK" 'OVERWRITE PacRHTab.001'
installer_wait_window
drv click "$FORM" '&Instalar' 30000 >/dev/null
dialog=$(installer_wait_dialog)
expect_eq "error report" "$(dialog_field "$dialog" 3)" 'Cannot read file'
installer_answer ok
installer_wait_banner
memo_lines >"$E2E_WORK/log.txt"
first=$(head -n1 "$E2E_WORK/log.txt")
case "$first" in
  'ERRO: C:\NORV\RH.EXE: '?*) ;;
  *) e2e_fail "first log line: $(printf '%s' "$first" | cat -v)" ;;
esac
expect_eq "log lines" "$(wc -l <"$E2E_WORK/log.txt")" 4
expect_banner "$E2E_WORK/log.txt" '*** PROCESSO NÃO CONCLUÍDO ***'
expect_eq "C:\\NORV" "$(cat "$norv")" 'not a folder'
installer_close
rm -f "$norv"
