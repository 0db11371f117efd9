#!/usr/bin/env bash
# Missing files: without "Dados.txt" the error box names its full path and
# the system's reason, and the window still opens with an empty memo; a
# missing archive is logged and the banner says the process did not finish.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin missing

installer_start "$E2E_WORK" 'OVERWRITE PacFalta.001'
dialog=$(installer_wait_dialog)
expect_eq "error box caption" "$(dialog_field "$dialog" 2)" 'Instalador Norv'
text=$(dialog_field "$dialog" 3)
prefix=$(escaped "Cannot open file \"$(winpath "$E2E_WORK")\\Dados.txt\". ")
case "$text" in
  "$prefix"?*) ;;
  *) e2e_fail "error box text: $(printf '%s' "$text" | cat -v), expected it to start with $prefix" ;;
esac
# The full stop rule: one full stop is appended unless the reason ends in a
# character at or below it, so the text never ends in two.
case "$text" in
  *..) e2e_fail "error box text ends in two full stops: $text" ;;
  *[.!\)]) ;;
  *) e2e_fail "error box text does not end in a full stop: $text" ;;
esac
expect_eq "error box buttons" "$(dialog_field "$dialog" 4)" '1:OK'
installer_answer ok
installer_wait_window
expect_eq "memo without Dados.txt" "$(memo_lines)" ""

drv click "$FORM" '&Instalar' 30000 >/dev/null
installer_wait_banner
memo_lines >"$E2E_WORK/log.txt"
expect_eq "log" "$(cat "$E2E_WORK/log.txt")" "$(cp1252 'ERRO: arquivo de atualização não encontrado: PacFalta.001')
$EQUALS28
$(cp1252 '*** PROCESSO NÃO CONCLUÍDO ***')
$EQUALS28"
installer_close
