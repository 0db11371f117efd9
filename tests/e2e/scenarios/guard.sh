#!/usr/bin/env bash
# While the bookkeeping application (TLVMain) runs, TUTIL32.DLL is held back
# with an "ATENÇÃO" line, the other files are written, and the banner says
# the installation finished with exceptions.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
source "$here/installer.sh"
e2e_begin guard

src="$E2E_WORK/src"
mkdir -p "$src"
printf 'old library\n' >"$src/TUTIL32.DLL"
printf 'livros\n' >"$src/LIVROS.TXT"
printf 'notas\n' >"$src/NOTAS.TXT"
# An archive that is not in the product table: no refusal, only the guard.
norvarc_create --prefix 'D:\E2E\GUARDA' "$E2E_WORK/PacLivTab.001" \
  "$src/LIVROS.TXT" "$src/TUTIL32.DLL" "$src/NOTAS.TXT"
printf 'Tabelas\r\n' >"$E2E_WORK/Dados.txt"
rm -rf "$(drive_c 'C:\E2E\GUARDA')"

drv_background "$E2E_WORK/hold.out" hold TLVMain hidden
e2e_wait_line "$E2E_WORK/hold.out" holding 60 "$E2E_LAST_PID" >/dev/null

installer_start "$E2E_WORK" 'OVERWRITE PacLivTab.001'
installer_wait_window
drv click "$FORM" '&Instalar' 30000 >/dev/null
installer_wait_banner
memo_lines >"$E2E_WORK/log.txt"
{
  printf 'Descompactando: C:\\E2E\\GUARDA\\LIVROS.TXT...\n'
  cp1252 'ATENÇÃO: arquivo: C:\E2E\GUARDA\TUTIL32.DLL não descompactado porque o aplicativo está carregado na memória...'
  printf '\nDescompactando: C:\\E2E\\GUARDA\\NOTAS.TXT...\n%s\n' "$EQUALS28"
  cp1252 '*** PROCESSO CONCLUÍDO (C O M   E X C E S S Õ E S) ***'
  printf '\n%s\n' "$EQUALS28"
} >"$E2E_WORK/expected.txt"
expect_eq "log" "$(cat "$E2E_WORK/log.txt")" "$(cat "$E2E_WORK/expected.txt")"
expect_no_file "$(drive_c 'C:\E2E\GUARDA\TUTIL32.DLL')"
cmp "$src/NOTAS.TXT" "$(drive_c 'C:\E2E\GUARDA\NOTAS.TXT')"

# With the application ended, a second press writes the library and the
# banner reflects only the second run.
drv close TLVMain 30000 >/dev/null
drv click "$FORM" '&Instalar' 30000 >/dev/null
installer_wait_banner 'ATEN'
memo_lines >"$E2E_WORK/log2.txt"
expect_eq "second log" "$(head -n3 "$E2E_WORK/log2.txt")" 'Descompactando: C:\E2E\GUARDA\LIVROS.TXT...
Descompactando: C:\E2E\GUARDA\TUTIL32.DLL...
Descompactando: C:\E2E\GUARDA\NOTAS.TXT...'
expect_banner "$E2E_WORK/log2.txt" '*** PROCESSO CONCLUÍDO ***'
cmp "$src/TUTIL32.DLL" "$(drive_c 'C:\E2E\GUARDA\TUTIL32.DLL')"
installer_close
