#!/usr/bin/env bash
# Follow-up programs: the archive brings two programs, the command line names
# them as #5 and #6 (and #7 names a missing file). Each is started in turn,
# and the next waits for the confirmation dialog of the one before. The
# command line also has an empty pair of quotes, which holds no place, and a
# quoted path with blanks.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin followup

: "${NORV_E2E_FOLLOWUP:?NORV_E2E_FOLLOWUP is not set}"
src="$E2E_WORK/src/APPS"
mkdir -p "$src"
cp "$NORV_E2E_FOLLOWUP" "$src/FIRST.EXE"
mkdir -p "$src/DOIS DOIS"
cp "$NORV_E2E_FOLLOWUP" "$src/DOIS DOIS/SECOND.EXE"
norvarc_create --prefix 'D:\E2E' "$E2E_WORK/PacApps.001" "$src"
printf 'Programas\r\n' >"$E2E_WORK/Dados.txt"
apps="$(drive_c 'C:\E2E\APPS')"
rm -rf "$apps"
desktop="$WINEPREFIX/drive_c/users/$USER/Desktop"
rm -f "$desktop/Apps.LNK"

first='C:\E2E\APPS\FIRST.EXE'
second='C:\E2E\APPS\DOIS DOIS\SECOND.EXE'
installer_start "$E2E_WORK" \
  "OVERWRITE PacApps.001 \"\" Apps $first $first \"$second\" C:\\E2E\\APPS\\NONE.EXE"
installer_wait_window
drv click "$FORM" '&Instalar' 30000 >/dev/null

# The marker file: one line per program that has run, in order.
wait_marker() {
  local expected=$1 i
  for ((i = 0; i < 600; i++)); do
    [ "$(tr -d '\r' <"$E2E_WORK/marker.txt" 2>/dev/null)" = "$expected" ] && return 0
    sleep 0.05
  done
  e2e_fail "marker.txt is '$(cat -v "$E2E_WORK/marker.txt" 2>/dev/null)', not '$expected'"
}
confirmation() { escaped "Pressione OK somente quando o aplicativo"$'\r'"$1"$'\r'"for finalizado."; }

ran=""
for program in "$first" "$second"; do
  dialog=$(installer_wait_dialog)
  expect_eq "dialog caption" "$(dialog_field "$dialog" 2)" Information
  expect_eq "dialog text" "$(dialog_field "$dialog" 3)" "$(confirmation "$program")"
  expect_eq "dialog buttons" "$(dialog_field "$dialog" 4)" '1:OK'
  ran+="${ran:+$'\n'}${program##*\\}"
  wait_marker "$ran"
  installer_answer ok
done
installer_wait_banner
memo_lines >"$E2E_WORK/log.txt"
expect_eq "log tail" "$(tail -n6 "$E2E_WORK/log.txt")" "Atalho criado com sucesso.
Executando o aplicativo $first...
Executando o aplicativo $second...
$EQUALS28
$(cp1252 '*** PROCESSO CONCLUÍDO ***')
$EQUALS28"
expect_eq "dialogs after the banner" "$(drv dialogs "$INSTALLER_PID")" ""
installer_close
