# Shared by the end-to-end scripts (sourced, bash): one private Wine prefix
# per test run, a private Xvfb display per script, time limits on every step
# and cleanup by process id on every exit.
#
# Inputs (environment, set by CTest or by the caller):
#   NORV_E2E_SCRATCH  folder of this test run: HOME, the prefix, work folders
#   NORV_E2E_DRIVER   driver.exe (the Win32 console driver)
# Optional: NORV_E2E_TZ (time zone, default America/Sao_Paulo).

set -Eeuo pipefail
# A step that fails without a message of its own still says where.
trap 'printf "FAIL: %s:%s: %s\n" "${BASH_SOURCE[0]##*/}" "$LINENO" "$BASH_COMMAND" >&2' ERR

: "${NORV_E2E_SCRATCH:?NORV_E2E_SCRATCH is not set}"

# The shipped programs are 32-bit: every run uses the 32-bit Wine that
# scripts/wine32 made ready, native or emulated (asked before HOME moves).
source "$(dirname "${BASH_SOURCE[0]}")/../require-built.sh"
E2E_WINE32="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)/scripts/wine32"
E2E_WINE32_ENV=$("$E2E_WINE32" env 2>/dev/null) || norv_skip "no 32-bit Wine is ready (scripts/deps makes it)"
eval "$E2E_WINE32_ENV"
export HOME="$NORV_E2E_SCRATCH/e2e-home"
export WINEPREFIX="$HOME/prefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export TZ="${NORV_E2E_TZ:-America/Sao_Paulo}"
export USER="${USER:-$(id -un)}"
# Texts from the program are Windows-1252 bytes: compare them as bytes.
export LC_ALL=C
unset WINESERVER WINELOADER

E2E_XVFB_PID=""
E2E_BACKGROUND_PIDS=()
E2E_LOG="${E2E_LOG:-$NORV_E2E_SCRATCH/logs}"
mkdir -p "$E2E_LOG"

e2e_note() { printf '[e2e %s] %s\n' "$(date +%T)" "$*" >&2; }

e2e_fail() {
  trap - ERR
  printf 'FAIL: %s\n' "$*" >&2
  exit 1
}

# Starts a private Xvfb; Xvfb picks a free display number itself and writes
# it to the -displayfd pipe once it accepts clients.
e2e_start_display() {
  local numberfile="$E2E_LOG/display.$$"
  rm -f "$numberfile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset \
    3>"$numberfile" >"$E2E_LOG/xvfb.$$.log" 2>&1 &
  E2E_XVFB_PID=$!
  # Left behind only when this script is killed outright; the prefix
  # cleanup ends such a server by this id.
  echo "$E2E_XVFB_PID" >"$E2E_LOG/xvfb.$E2E_XVFB_PID.pid"
  local i
  for ((i = 0; i < 200; i++)); do
    if [ -s "$numberfile" ]; then
      DISPLAY=":$(head -n1 "$numberfile")"
      export DISPLAY
      rm -f "$numberfile"
      return 0
    fi
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  e2e_fail "Xvfb did not start (see $E2E_LOG/xvfb.$$.log)"
}

# Ends every Wine process of the prefix, then the processes this script
# started, each by its id.
e2e_cleanup() {
  local status=$?
  trap - ERR
  set +e
  if [ -d "$WINEPREFIX" ]; then
    timeout 20 wineserver -k >/dev/null 2>&1
    timeout 20 wineserver -w >/dev/null 2>&1
  fi
  local pid
  for pid in "${E2E_BACKGROUND_PIDS[@]}"; do
    kill "$pid" 2>/dev/null
  done
  if [ -n "$E2E_XVFB_PID" ]; then
    kill "$E2E_XVFB_PID" 2>/dev/null
    wait "$E2E_XVFB_PID" 2>/dev/null
    rm -f "$E2E_LOG/xvfb.$E2E_XVFB_PID.pid"
    E2E_XVFB_PID=""
  fi
  return $status
}

# Runs a Wine program with a time limit; its output goes to files (a pipe
# can be held open by Wine's background services and hang the caller).
#   e2e_wine SECONDS OUTFILE program args...
e2e_wine() {
  local limit=$1 out=$2
  shift 2
  timeout "$limit" wine "$@" >"$out" 2>"$out.err"
}

# Runs one driver subcommand and prints its output. A failing subcommand
# prints its reason on stderr and returns its status.
#   drv COMMAND ARGS...
E2E_DRIVER_SEQ=0
drv() {
  : "${NORV_E2E_DRIVER:?NORV_E2E_DRIVER is not set}"
  E2E_DRIVER_SEQ=$((E2E_DRIVER_SEQ + 1))
  local out="$E2E_LOG/drv.$$.$E2E_DRIVER_SEQ"
  local status=0
  e2e_wine 180 "$out" "$NORV_E2E_DRIVER" "$@" || status=$?
  cat "$out"
  if [ $status -ne 0 ]; then
    printf 'driver %s failed (%s): %s\n' "$1" "$status" "$(cat "$out.err")" >&2
  fi
  rm -f "$out" "$out.err"
  return $status
}

# Starts a driver subcommand that keeps running (hold, launch) in the
# background; its output goes to OUTFILE. Sets E2E_LAST_PID.
#   drv_background OUTFILE COMMAND ARGS...
drv_background() {
  local out=$1
  shift
  {
    local status=0
    timeout 300 wine "$NORV_E2E_DRIVER" "$@" >"$out" 2>"$out.err" || status=$?
    echo "$status" >"$out.status"
  } &
  E2E_LAST_PID=$!
  E2E_BACKGROUND_PIDS+=("$E2E_LAST_PID")
}

# Waits until FILE has a line starting with PREFIX; prints that line. With
# PID, gives up as soon as that process has ended without writing it.
#   e2e_wait_line FILE PREFIX SECONDS [PID]
e2e_wait_line() {
  local file=$1 prefix=$2 limit=$3 pid=${4:-} i
  for ((i = 0; i < limit * 20; i++)); do
    if [ -f "$file" ] && grep -q "^$prefix" "$file"; then
      grep -m1 "^$prefix" "$file"
      return 0
    fi
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
      grep -q "^$prefix" "$file" 2>/dev/null && { grep -m1 "^$prefix" "$file"; return 0; }
      break
    fi
    sleep 0.05
  done
  e2e_fail "no line '$prefix' in $file (exit status $(cat "$file.status" 2>/dev/null)): $(
    cat "$file" "$file.err" 2>/dev/null)"
}

# A text as the driver's hex: argument, for bytes that must arrive exactly:
# Wine converts a program's arguments through the Unix locale, so texts other
# than plain ASCII (and exact command lines) go this way.
hexarg() {
  printf 'hex:'
  printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'
}

# The Windows form of a Linux path (drive Z: is the Linux root).
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# Ends the Xvfb servers of scripts that were killed before their cleanup,
# each by its recorded id, if that id still names an Xvfb.
e2e_reap_displays() {
  local file pid
  for file in "$E2E_LOG"/xvfb.*.pid; do
    [ -f "$file" ] || continue
    pid=$(cat "$file")
    if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then
      kill "$pid" 2>/dev/null || true
    fi
    rm -f "$file"
  done
}

# What the prefix was made with: the Wine packages and how the 32-bit Wine
# runs. A prefix made with another Wine cannot be trusted to start programs
# (one made before wine32 was installed fails with c0000135).
e2e_wine_identity() {
  dpkg-query -W -f='${Package}:${Architecture} ${Version}\n' \
    wine wine32:i386 wine64 libwine:amd64 libwine:i386 2>/dev/null | sort || true
  "$E2E_WINE32" describe
}

# Whether the prefix exists and was made with the Wine in use now.
e2e_prefix_current() {
  [ -f "$HOME/prefix.ready" ] && [ "$(cat "$HOME/prefix.ready")" = "$(e2e_wine_identity)" ]
}

# Stops with Wine's own words when it cannot draw text (no FreeType, no
# fonts): otherwise every scenario would meet it as a crash in gdi32.dll.
e2e_check_text() {
  local check
  # A 64-bit prefix (the benchmarks' where the 32-bit Wine is emulated) runs
  # no 32-bit program.
  [ "$WINEARCH" = win32 ] || return 0
  check="$(dirname "${NORV_E2E_DRIVER:?NORV_E2E_DRIVER is not set}")/TextCheck.exe"
  norv_require_files "$check"
  : >"$E2E_LOG/textcheck.out"
  if ! e2e_wine_step 120 TextCheck "$E2E_LOG/textcheck.out" wine "$check"; then
    e2e_fail "this Wine cannot draw text: $(grep -m1 FreeType "$E2E_LOG/textcheck.out" ||
      grep -v -e ':fixme:' -e ':err:' "$E2E_LOG/textcheck.out" | tail -n 3) (Wine: $("$E2E_WINE32" describe))"
  fi
  e2e_note "$(grep -m1 '^text ok' "$E2E_LOG/textcheck.out")"
}

# Runs a Wine step with a time limit. A step that hangs (an emulated Wine
# now and then never finishes starting its services) is named with the Wine
# processes running then; the prefix's processes are ended and the step is
# tried once more, so that one hang does not fail the whole test run. The
# step's output goes to OUTFILE (a pipe can be held open by Wine's services).
#   e2e_wine_step SECONDS WHAT OUTFILE command args...
e2e_wine_step() {
  local limit=$1 what=$2 out=$3 status=0
  shift 3
  timeout "$limit" "$@" >>"$out" 2>&1 || status=$?
  [ "$status" -eq 124 ] || return "$status"
  e2e_note "$what did not end within $limit s; the Wine processes then:"
  ps -eo pid,etime,args | grep -E '[w]ine|[q]emu-i386' >&2 || true
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
  e2e_note "$what: trying once more"
  timeout "$limit" "$@" >>"$out" 2>&1
}

# Makes the prefix: wineboot, registry settings, fonts. Called once per test
# run by the fixture's setup.
e2e_make_prefix() {
  rm -rf "$HOME"
  mkdir -p "$HOME"
  local wine_used
  # The benchmarks' 64-bit prefix, where the 32-bit Wine is emulated, is made
  # by the machine's own 64-bit Wine.
  if [ "$WINEARCH" = win32 ]; then
    wine_used=$("$E2E_WINE32" describe)
  else
    wine_used="the machine's 64-bit Wine ($(wine --version 2>/dev/null))"
  fi
  e2e_note "making the Wine prefix in $WINEPREFIX with $wine_used"
  : >"$E2E_LOG/wineboot.log"
  e2e_wine_step 180 wineboot "$E2E_LOG/wineboot.log" wineboot -i ||
    e2e_fail "wineboot failed: $(tail -n 5 "$E2E_LOG/wineboot.log")"
  # Wine's own window frames and fast closes without a window manager; a
  # crash ends the program at once instead of opening a dialog. One program
  # while wineboot's server is still up: no second start of Wine.
  printf '%s\r\n' REGEDIT4 '' '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' \
    '' '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' \
    >"$HOME/settings.reg"
  e2e_wine_step 60 "the registry settings" "$E2E_LOG/wineboot.log" \
    wine reg import "$(winpath "$HOME/settings.reg")" || e2e_fail "reg import failed: $(tail -n 5 "$E2E_LOG/wineboot.log")"
  cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
  timeout 120 wineserver -w
  e2e_check_text
  e2e_wine_identity >"$HOME/prefix.ready"
}

# Begins a scenario: checks its inputs, starts the display and warms up the
# wineserver. Cleanup runs on every exit.
#   e2e_begin NAME
e2e_begin() {
  E2E_NAME=$1
  norv_require_files ${NORV_E2E_DRIVER:+"$NORV_E2E_DRIVER"} ${NORV_E2E_EXE:+"$NORV_E2E_EXE"}
  e2e_prefix_current || e2e_fail "no Wine prefix for the installed Wine: the setup fixture did not run"
  trap e2e_cleanup EXIT
  trap 'exit 130' INT TERM
  e2e_start_display
  e2e_note "$E2E_NAME: i686 programs under $("$E2E_WINE32" describe)"
  E2E_WORK="$NORV_E2E_SCRATCH/work/$E2E_NAME"
  rm -rf "$E2E_WORK"
  mkdir -p "$E2E_WORK"
  e2e_wine_step 60 "Wine's start" /dev/null wine cmd /c exit || e2e_fail "wine does not start"
}
