#!/usr/bin/env bash
# A file that another program holds open without sharing cannot be
# replaced: the log names it with the system's reason before the banner, the
# banner says the process did not finish, and the whole update is undone:
# the folder is file by file as before (the old file's bytes and date, no
# new file), with nothing of the run left on drive C:.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin locked

src="$E2E_WORK/src"
mkdir -p "$src"
printf 'new program\n' >"$src/PROGRAMA.EXE"
printf 'notas\n' >"$src/NOTAS.TXT"
norvarc_create --prefix 'D:\E2E\TRAVA' "$E2E_WORK/PacTrava.001" "$src/PROGRAMA.EXE" "$src/NOTAS.TXT"
printf 'Trava\r\n' >"$E2E_WORK/Dados.txt"
target="$(drive_c 'C:\E2E\TRAVA\PROGRAMA.EXE')"
rm -rf "$(drive_c 'C:\E2E\TRAVA')"
mkdir -p "$(dirname "$target")"
printf 'old program\n' >"$target"
touch -d '2001-02-03 04:05:06' "$target"
before=$(tree_state "$(dirname "$target")")

drv_background "$E2E_WORK/lock.out" lock 'C:\E2E\TRAVA\PROGRAMA.EXE' TTravaArquivo
e2e_wait_line "$E2E_WORK/lock.out" locked 60 "$E2E_LAST_PID" >/dev/null

installer_expect_failure 'OVERWRITE PacTrava.001' 'C:\E2E\TRAVA\PROGRAMA.EXE'
expect_eq "the folder after the failed update" "$(tree_state "$(dirname "$target")")" "$before"
expect_no_leftovers

# Released, the file is replaced on the next press.
drv close TTravaArquivo 30000 >/dev/null
drv click "$FORM" '&Instalar' 30000 >/dev/null
installer_wait_banner 'ERRO'
cmp "$src/PROGRAMA.EXE" "$target"
installer_close
