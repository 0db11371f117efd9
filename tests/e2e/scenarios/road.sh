#!/usr/bin/env bash
# The road of one installation: a two-volume payroll archive restored with
# OVERWRITE, every file on drive C: with its stored date, the desktop
# shortcut, the log in archive order with its banner, then "&Fechar".
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin road

src="$E2E_WORK/src"
mkdir -p "$src/TABELAS"
head -c 150000 /dev/urandom >"$src/RH.EXE"  # stored blocks, spans both volumes
seq 1 50000 >"$src/TUTIL32.DLL"              # compressed blocks
printf 'aliquotas\r\n' >"$src/TABELAS/INSS.DAT"
cp1252 'Leia-me: folha de pagamento' >"$src/LEIAME.TXT"
# Dates far apart; the last one is another day in UTC than in local time.
touch -d '2021-06-04 05:06:08' "$src/RH.EXE"
touch -d '2016-07-31 12:00:00' "$src/TABELAS/INSS.DAT"
touch -d '2024-12-24 23:59:58' "$src/TUTIL32.DLL"
touch -d '2020-01-02 03:04:06' "$src/LEIAME.TXT"
norvarc_create --max-size 150000 --prefix 'D:\NORV' "$E2E_WORK/PacRH.001" \
  "$src/RH.EXE" "$src/TABELAS" "$src/TUTIL32.DLL" "$src/LEIAME.TXT"
expect_file "$E2E_WORK/PacRH.002"
expect_no_file "$E2E_WORK/PacRH.003"
printf 'Folha de pagamento\r\nvers\xE3o nova\r\n' >"$E2E_WORK/Dados.txt"

desktop="$WINEPREFIX/drive_c/users/$USER/Desktop"
rm -f "$desktop/NorvRH.LNK"
rm -rf "$(drive_c 'C:\NORV')"

installer_start "$E2E_WORK" 'OVERWRITE PacRH.001 NorvRH C:\NORV\RH.EXE'
installer_wait_window
drv click "$FORM" '&Instalar' 30000 >/dev/null
installer_wait_banner
memo_lines >"$E2E_WORK/log.txt"

# One "Descompactando" line per written part of a file, in archive order:
# the file cut by the volume change comes twice.
{
  "$NORV_E2E_NORVARC" list "$E2E_WORK/PacRH.001" |
    awk -F'\t' '$1 == "file" || $1 == "continued" { sub(/^D:/, "C:", $2); print "Descompactando: " $2 "..." }'
  cp1252 'Criando atalho na Área de Trabalho...'
  printf '\nAtalho criado com sucesso.\n%s\n' "$EQUALS28"
  cp1252 '*** PROCESSO CONCLUÍDO ***'
  printf '\n%s\n' "$EQUALS28"
} >"$E2E_WORK/expected.txt"
expect_eq "log" "$(cat "$E2E_WORK/log.txt")" "$(cat "$E2E_WORK/expected.txt")"
expect_eq "RH.EXE logged twice" "$(grep -c 'RH.EXE' "$E2E_WORK/log.txt")" 2
expect_eq "progress at the end" "$(drv progress "$FORM")" "progress 100 0 100"

for name in RH.EXE TABELAS/INSS.DAT TUTIL32.DLL LEIAME.TXT; do
  restored="$WINEPREFIX/drive_c/NORV/$name"
  expect_file "$restored"
  cmp "$src/$name" "$restored" || e2e_fail "$name differs"
  expect_eq "date of $name" "$(date -d "@$(stat -c %Y "$restored")" '+%F %T')" \
    "$(date -d "@$(stat -c %Y "$src/$name")" '+%F %T')"
done

link="$desktop/NorvRH.LNK"
expect_file "$link"
grep -aqiF 'C:\NORV\RH.EXE' "$link" || e2e_fail "the shortcut does not name C:\\NORV\\RH.EXE"

installer_close
