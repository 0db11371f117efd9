# Driving NorvInstall.exe and checking what it shows (sourced after
# wine-env.sh). Inputs: NORV_E2E_EXE, NORV_E2E_NORVARC.

readonly FORM=TFrmInstaladorNorv
readonly EQUALS28='============================'

# Windows-1252 bytes of a UTF-8 text written in these scripts.
cp1252() { printf '%s' "$1" | iconv -f UTF-8 -t CP1252; }

# The driver's escaped form of a text (backslash, CR, LF, tab).
escaped() { printf '%s' "$1" | sed -e 's/\\/\\\\/g' -e 's/\r/\\r/g' -e 's/\t/\\t/g'; }

expect_eq() {
  local what=$1 actual=$2 expected=$3
  if [ "$actual" != "$expected" ]; then
    printf 'FAIL: %s\n  expected: %s\n  actual:   %s\n' "$what" \
      "$(printf '%s' "$expected" | cat -v)" "$(printf '%s' "$actual" | cat -v)" >&2
    exit 1
  fi
}

expect_file() { [ -f "$1" ] || e2e_fail "missing file $1"; }
expect_no_file() { [ ! -e "$1" ] || e2e_fail "unexpected file $1"; }

# Linux path of a path on drive C: given as C:\A\B.
drive_c() {
  local rest=${1#C:\\}
  printf '%s/drive_c/%s' "$WINEPREFIX" "${rest//\\//}"
}

# Every file below DIR with its size, date and checksum, one line each: a
# tree compared file by file.
tree_state() {
  (cd "$1" && find . -type f -printf '%P %s %TY-%Tm-%Td %TH:%TM:%.2TS ' -exec md5sum {} \; |
    awk '{ print $1, $2, $3, $4, $5 }' | sort)
}

# Fails when an all-or-nothing run left its journal, a file being written or
# a kept old version anywhere on drive C:.
expect_no_leftovers() {
  expect_eq "files left behind" \
    "$(find "$(drive_c 'C:\')" -name '.norv*' -o -name '*.norvtmp' -o -name '*.norvold')" ""
}

# Makes an archive with the native tool: norvarc_create ARCHIVE.001 ARGS...
norvarc_create() {
  [ -x "${NORV_E2E_NORVARC:-}" ] || e2e_fail "norvarc not built: ${NORV_E2E_NORVARC:-unset}"
  timeout 60 "$NORV_E2E_NORVARC" create "$@" >"$E2E_LOG/norvarc.$$.log" 2>&1 ||
    e2e_fail "norvarc create failed: $(cat "$E2E_LOG/norvarc.$$.log")"
}

# Starts the installer in folder DIR with the command line tail ARGS (the
# program's own quoted path goes first) and waits for its window.
# Sets INSTALLER_PID and INSTALLER_OUT.
#   installer_start DIR ARGS
installer_start() {
  local dir=$1 tail=$2
  [ -f "${NORV_E2E_EXE:-}" ] || e2e_fail "NorvInstall.exe not built: ${NORV_E2E_EXE:-unset}"
  INSTALLER_OUT="$E2E_WORK/installer.$RANDOM.out"
  drv_background "$INSTALLER_OUT" launch "$(winpath "$dir")" \
    "$(hexarg "\"$(winpath "$NORV_E2E_EXE")\" $tail")"
  INSTALLER_LAUNCHER=$E2E_LAST_PID
  INSTALLER_PID=$(e2e_wait_line "$INSTALLER_OUT" pid 60 "$INSTALLER_LAUNCHER" | cut -d' ' -f2)
}

installer_wait_window() { drv wait-window "$FORM" 60000 >/dev/null; }

# Waits until the program has ended; prints its exit code.
installer_wait_exit() {
  e2e_wait_line "$INSTALLER_OUT" exit 60 "$INSTALLER_LAUNCHER" | cut -d' ' -f2
}

# Waits for the completion banner's last line, in a log without the text
# UNWANTED when given (to tell a new log from the previous one). Sets
# BANNER_AT to the moment it was seen (ms since 1970, the driver's clock).
#   installer_wait_banner [UNWANTED]
installer_wait_banner() {
  local seen
  seen=$(drv wait-memo "$FORM" "$(hexarg "***"$'\r\n'"$EQUALS28")" 120000 ${1:+"$1"}) ||
    e2e_fail "no banner; log: $(drv memo "$FORM" | cat -v)"
  BANNER_AT=${seen##* at }
}

# The memo's text with CR LF line breaks turned into LF; fails on a lone CR
# or LF, since every line break of the log and the information text is CR LF.
memo_lines() {
  local raw="$E2E_WORK/memo.raw"
  drv memo "$FORM" >"$raw" || e2e_fail "cannot read the memo"
  local lf crlf
  lf=$(tr -cd '\n' <"$raw" | wc -c)
  crlf=$(grep -c $'\r$' "$raw" || true)
  if grep -q $'\r.' "$raw" || [ "$(tail -c1 "$raw")" = $'\r' ] || [ "$lf" -ne "$crlf" ]; then
    e2e_fail "the memo has a line break other than CR LF: $(cat -v "$raw")"
  fi
  sed 's/\r$//' "$raw"
}

# The dialogs of the installer: one line each, "dialog HWND", then caption,
# text and buttons separated by tabs.
installer_wait_dialog() { drv wait-dialog "$INSTALLER_PID" 60000; }
dialog_field() { printf '%s' "$1" | cut -f"$2"; }
installer_answer() { drv answer "$INSTALLER_PID" "$1" 30000 >/dev/null; }

# Presses "&Fechar" and checks that the program ends with exit code 0.
installer_close() {
  drv click "$FORM" '&Fechar' 30000 >/dev/null
  expect_eq "exit code" "$(installer_wait_exit)" 0
}

# Checks the three banner lines at the end of the log in FILE.
#   expect_banner FILE UTF8-TEXT
expect_banner() {
  expect_eq "banner" "$(tail -n3 "$1")" "$EQUALS28
$(cp1252 "$2")
$EQUALS28"
}

# A screenshot of the whole display once it has settled: a new window paints
# late, so grabs are taken in pairs 100 ms apart until a pair agrees (the
# logo's frames and the caret change now and then, not within 100 ms). The
# two grabs of a pair overlap: one takes over half a second on a busy
# machine, longer than a frame of the logo.
#   grab_stable OUT.png
grab_stable() {
  local out=$1 i first
  for ((i = 0; i < 50; i++)); do
    timeout 30 import -window root "$out.a.png" &
    first=$!
    sleep 0.1
    timeout 30 import -window root "$out" || e2e_fail "import failed"
    wait "$first" || e2e_fail "import failed"
    if [ "$(compare -metric AE "$out.a.png" "$out" null: 2>&1)" = 0 ]; then
      rm -f "$out.a.png"
      return 0
    fi
  done
  e2e_fail "the screen never settled"
}

# Installs with PARAMETERS and expects the restore to fail on PATH: the
# component's error report, then a log of five lines whose first is
# "ERRO: PATH: <the system's reason>", whose second says the previous
# installation was put back and whose banner says the process did not
# finish. The log is left in $E2E_WORK/log.txt.
installer_expect_failure() {
  local parameters=$1 path=$2 dialog first
  installer_start "$E2E_WORK" "$parameters"
  installer_wait_window
  drv click "$FORM" '&Instalar' 30000 >/dev/null
  dialog=$(installer_wait_dialog)
  expect_eq "error report" "$(dialog_field "$dialog" 3)" 'Cannot read file'
  installer_answer ok
  installer_wait_banner
  memo_lines >"$E2E_WORK/log.txt"
  first=$(head -n1 "$E2E_WORK/log.txt")
  case "$first" in
    "ERRO: $path: "?*) ;;
    *) e2e_fail "first log line: $(printf '%s' "$first" | cat -v)" ;;
  esac
  expect_eq "log lines" "$(wc -l <"$E2E_WORK/log.txt")" 5
  expect_eq "put back" "$(sed -n 2p "$E2E_WORK/log.txt" | tr -d '\r')" \
    "$(cp1252 'A instalação anterior foi restaurada.')"
  expect_banner "$E2E_WORK/log.txt" '*** PROCESSO NÃO CONCLUÍDO ***'
}
