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

installer_expect_failure 'OVERWRITE PacRHTab.001' 'C:\NORV\RH.EXE'
expect_eq "C:\\NORV" "$(cat "$norv")" 'not a folder'
installer_close
rm -f "$norv"
