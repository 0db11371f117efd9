#!/usr/bin/env bash
# Checks the shipped Windows programs: stripped, Windows Vista (6.0) as the
# operating system and subsystem version in the PE header, imports only
# from system DLLs that Vista has and none of the functions listed in
# post-vista-functions.txt (K32* names are Windows 7's too), and the
# version texts and manifest in their resources, read from the file as
# shipped (win32_tests.exe reads them back through Windows' own calls).
#   check-programs.sh PROGRAM.exe...
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
allowed_dlls='^(kernel32|user32|gdi32|comctl32|ole32|oleaut32|shell32|advapi32|msvcrt|version)\.dll$'
mapfile -t newer < <(grep -v '^#' "$here/post-vista-functions.txt" | grep .)
status=0
fail() { echo "FAIL: $1: $2"; status=1; }

# Whether a resource section (as copied out to RSRC) holds TEXT (Windows-1252,
# no character past U+00FF) as version texts store it, in UTF-16LE:
#   has_version_text RSRC TEXT
has_version_text() {
  perl -0777 -ne 'BEGIN { $t = shift } exit(index($_, join "", map { "$_\0" } split //, $t) < 0)' \
    "$2" "$1"
}
# The execution level that a program's manifest must ask for.
level_of() { case "$(basename "$1")" in NorvInstall.exe) echo requireAdministrator ;; *) echo asInvoker ;; esac; }

for exe in "$@"; do
  [ -f "$exe" ] || { fail "$exe" "not built"; continue; }
  dump="$(x86_64-w64-mingw32-objdump -p "$exe")"
  for field in MajorOSystemVersion:6 MinorOSystemVersion:0 MajorSubsystemVersion:6 \
    MinorSubsystemVersion:0; do
    value=$(awk -v f="${field%%:*}" '$1 == f { print $2 }' <<<"$dump")
    [ "$value" = "${field#*:}" ] || fail "$exe" "${field%%:*} is $value, not ${field#*:}"
  done
  if x86_64-w64-mingw32-objdump -h "$exe" | grep -q ' \.debug_'; then fail "$exe" "not stripped"; fi
  imports=$(awk '/DLL Name:/ { dll = tolower($3) }
                 /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ { print dll, $3 }' <<<"$dump")
  [ -n "$imports" ] || fail "$exe" "no imports read"
  while read -r dll function; do
    [[ "$dll" =~ $allowed_dlls ]] || fail "$exe" "imports from $dll ($function)"
    [[ "$function" == K32* ]] && fail "$exe" "imports $function (Windows 7)"
    for name in "${newer[@]}"; do
      [ "$function" != "$name" ] || fail "$exe" "imports $function (after Vista)"
    done
  done <<<"$imports"
  rsrc=$(mktemp)
  x86_64-w64-mingw32-objcopy -O binary --only-section=.rsrc "$exe" "$rsrc"
  texts=("Norv Inform$(printf '\xe1')tica" NorvInstall)
  [ "$(basename "$exe")" != NorvInstall.exe ] || texts+=("Instalador Norv")
  for text in "${texts[@]}"; do
    has_version_text "$rsrc" "$text" || fail "$exe" "no version text \"$text\""
  done
  manifest=$(tr -c '[:print:]' '\n' <"$rsrc")
  rm -f "$rsrc"
  level=$(level_of "$exe")
  grep -q "level=\"$level\"" <<<"$manifest" || fail "$exe" "the manifest does not ask for $level"
  ! grep -q Microsoft.Windows.Common-Controls <<<"$manifest" ||
    fail "$exe" "the manifest asks for common controls 6"
  [ $status -ne 0 ] || echo "ok: $exe ($(wc -l <<<"$imports") imports, version texts, manifest)"
done
exit $status
