#!/usr/bin/env bash
# A whole update is all or nothing. A damaged last volume leaves drive C:
# exactly as before the run, file by file, with the error, the line saying
# the previous installation was put back, and the banner. The installer
# killed outright (SIGKILL) in the middle of a run leaves a journal; the
# next run puts the old files back first, says so before its first
# "Descompactando:" line, then installs, and leaves no ".norv..." file.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin allornothing

# The installed version: two programs, a table, and a file the update does
# not know, with old dates.
install_dir="$(drive_c 'C:\E2E\TUDO')"
rm -rf "$install_dir"
mkdir -p "$install_dir/TABELAS"
printf 'old program\n' >"$install_dir/RH.EXE"
printf 'old library\n' >"$install_dir/TUTIL32.DLL"
printf 'old table\n' >"$install_dir/TABELAS/INSS.DAT"
printf 'local notes\n' >"$install_dir/NOTAS.TXT"
touch -d '2001-02-03 04:05:06' "$install_dir"/*.* "$install_dir/TABELAS/INSS.DAT"

# The update replaces all three, adds files and a folder, and spans three
# volumes (bytes that compress, so that every block is checked when read).
src="$E2E_WORK/src"
mkdir -p "$src/TABELAS" "$src/NOVA"
# The same bytes every run, so that the damage below always lands in the
# compressed data of a block: pseudo-random bytes from a fixed key, as text.
text() (
  set +o pipefail # openssl ends on SIGPIPE once head has enough
  openssl enc -aes-128-ctr -K 000102030405060708090a0b0c0d0e0f -iv 0 -nosalt -in /dev/zero \
    2>/dev/null | head -c $((2200000 + $1)) | tail -c 2200000 | base64
)
text 1 >"$src/RH.EXE"
text 2 >"$src/TUTIL32.DLL"
printf 'new table\n' >"$src/TABELAS/INSS.DAT"
text 3 >"$src/NOVA/EXTRA.DAT"
norvarc_create --max-size 2500000 --prefix 'D:\E2E\TUDO' "$E2E_WORK/PacTudo.001" \
  "$src/RH.EXE" "$src/TUTIL32.DLL" "$src/TABELAS" "$src/NOVA"
[ -f "$E2E_WORK/PacTudo.003" ] || e2e_fail "the update is not in three volumes"
printf 'Tudo\r\n' >"$E2E_WORK/Dados.txt"
before=$(tree_state "$install_dir")

# 1. A damaged third volume: 200 bytes in the middle of a compressed block
# of the last file overwritten, which the component reports and the
# installer logs.
cp "$E2E_WORK/PacTudo.003" "$E2E_WORK/PacTudo.003.good"
size=$(stat -c %s "$E2E_WORK/PacTudo.003")
head -c 200 /dev/zero | tr '\0' '\377' |
  dd of="$E2E_WORK/PacTudo.003" bs=1 seek=$((size / 2)) conv=notrunc status=none
report=$("$NORV_E2E_NORVARC" test "$E2E_WORK/PacTudo.001" 2>&1 || true)
grep -q 'compression error' <<<"$report" || e2e_fail "the damage is not a compression error: $report"
installer_start "$E2E_WORK" 'OVERWRITE PacTudo.001'
installer_wait_window
drv click "$FORM" '&Instalar' 30000 >/dev/null
# The component's error report (and any other question) is answered OK.
for ((i = 0; i < 5; i++)); do
  drv wait-memo "$FORM" "$(hexarg "***"$'\r\n'"$EQUALS28")" 3000 >/dev/null 2>&1 && break
  if dialog=$(drv wait-dialog "$INSTALLER_PID" 20000 2>/dev/null); then
    e2e_note "answered: $(dialog_field "$dialog" 3)"
    installer_answer ok
  fi
done
installer_wait_banner
memo_lines >"$E2E_WORK/log.txt"
grep -q '^ERRO: ' "$E2E_WORK/log.txt" || e2e_fail "no ERRO line: $(cat -v "$E2E_WORK/log.txt")"
grep -qx "$(cp1252 'A instalação anterior foi restaurada.')" "$E2E_WORK/log.txt" ||
  e2e_fail "no line saying the installation was put back: $(cat -v "$E2E_WORK/log.txt")"
expect_banner "$E2E_WORK/log.txt" '*** PROCESSO NÃO CONCLUÍDO ***'
installer_close
expect_eq "drive C: after a damaged volume" "$(tree_state "$install_dir")" "$before"
expect_no_leftovers
mv "$E2E_WORK/PacTudo.003.good" "$E2E_WORK/PacTudo.003"

# 2. Killed outright once the second file is being restored.
installer_start "$E2E_WORK" 'OVERWRITE PacTudo.001'
installer_wait_window
drv click "$FORM" '&Instalar' 30000 >/dev/null
drv wait-memo "$FORM" "$(hexarg 'TUTIL32.DLL')" 60000 >/dev/null ||
  e2e_fail "the second file never started: $(drv memo "$FORM" | cat -v)"
pkill -KILL -f 'NorvInstall[.]exe' || e2e_fail "no installer process to kill"
wait "$INSTALLER_LAUNCHER" 2>/dev/null || true
journal=false
if [ -e "$(drive_c 'C:\.norvjournal')" ]; then
  journal=true
else
  e2e_note "the kill came after the run had ended its journal"
fi

installer_start "$E2E_WORK" 'OVERWRITE PacTudo.001'
installer_wait_window
drv click "$FORM" '&Instalar' 30000 >/dev/null
installer_wait_banner
memo_lines >"$E2E_WORK/log2.txt"
recovered=$(grep -n "^$(cp1252 'Recuperando a instalação interrompida')" "$E2E_WORK/log2.txt" | cut -d: -f1 || true)
first=$(grep -n '^Descompactando: ' "$E2E_WORK/log2.txt" | head -n1 | cut -d: -f1 || true)
[ -n "$first" ] || e2e_fail "the second run restored nothing: $(cat -v "$E2E_WORK/log2.txt")"
if $journal; then
  [ -n "$recovered" ] && [ "$recovered" -lt "$first" ] ||
    e2e_fail "no recovery logged before the first file: $(cat -v "$E2E_WORK/log2.txt")"
fi
expect_banner "$E2E_WORK/log2.txt" '*** PROCESSO CONCLUÍDO ***'
installer_close
for f in RH.EXE TUTIL32.DLL TABELAS/INSS.DAT NOVA/EXTRA.DAT; do cmp "$src/$f" "$install_dir/$f"; done
expect_eq "untouched file" "$(cat "$install_dir/NOTAS.TXT")" 'local notes'
expect_no_leftovers
e2e_note "all or nothing: damaged volume undone, killed run recovered${recovered:+ (logged on line $recovered)}"
