#!/usr/bin/env bash
# norvarc.exe under Wine: a source file with a Portuguese name is read
# through the wide API and stored in Windows-1252, and an archive given with
# a drive letter ("Z:\...") is opened as given while the restored files go
# below DEST.
here="$(cd "$(dirname "$0")/.." && pwd)"
source "$here/wine-env.sh"
e2e_begin norvarc

exe="${NORV_E2E_NORVARC_EXE:-$(dirname "$NORV_E2E_EXE")/../tools/norvarc/norvarc.exe}"
[ -f "$exe" ] || e2e_fail "norvarc.exe not built: $exe"
name=$(printf 'A\xc3\x87\xc3\x83O.TXT')   # the UTF-8 name Wine gives the host file
mkdir -p "$E2E_WORK/src"
# Wine shows host names in the locale's encoding: UTF-8 here (the shared
# setting, C, would hide the file).
export LC_ALL=C.UTF-8
printf 'acao' >"$E2E_WORK/src/$name"

timeout 60 wine "$exe" create "$(winpath "$E2E_WORK")\\ARC.001" "$(winpath "$E2E_WORK/src")" \
  >"$E2E_WORK/create.txt" 2>&1 || e2e_fail "create: $(cat "$E2E_WORK/create.txt")"
timeout 60 wine "$exe" list "$(winpath "$E2E_WORK")\\ARC.001" >"$E2E_WORK/list.txt" 2>&1 ||
  e2e_fail "list: $(cat "$E2E_WORK/list.txt")"
LC_ALL=C grep -q "$(printf 'C:\\\\src\\\\A\xc7\xc3O.TXT')" "$E2E_WORK/list.txt" ||
  e2e_fail "stored name is not Windows-1252: $(cat -v "$E2E_WORK/list.txt")"

cd "$E2E_WORK"
timeout 60 wine "$exe" extract "$(winpath "$E2E_WORK")\\ARC.001" out >"$E2E_WORK/extract.txt" 2>&1 ||
  e2e_fail "extract: $(cat "$E2E_WORK/extract.txt")"
[ "$(cat "$E2E_WORK/out/src/$name" 2>/dev/null)" = acao ] ||
  e2e_fail "restored file missing: $(cat "$E2E_WORK/extract.txt"; ls -R "$E2E_WORK/out")"
e2e_note "norvarc.exe: names and archive paths ok"
