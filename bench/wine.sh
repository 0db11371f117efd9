#!/usr/bin/env bash
# The Wine section of scripts/bench (figures only): the 32-bit norvarc.exe
# extracting and testing set (a) under Wine against the native norvarc on
# the same data, and NorvInstall.exe installing a 3-volume archive under
# Wine with the fast decoder against the same program held to zlib
# (NorvInstallZlib.exe, built beside it in the Windows tree). Medians of
# wall time over the runs, the two contenders of each pair taking turns,
# with Wine's server kept up between them; Wine's own start is timed once
# apart. An installation is timed by the e2e driver, from its click to the
# banner it sees.
#
# Where the 32-bit Wine is emulated (scripts/wine32), its times would be
# qemu's, not the programs': there the 64-bit norvarc.exe runs under the
# machine's own 64-bit Wine instead, and the installer's figures, which
# need a CPU that runs 32-bit code, are left out and said to be.
#
#   bench/wine.sh [--runs N] [--set-mib N] [--install-mib N]
#
# Set (a) is build/bench-data/data/large when scripts/bench has made it
# (256 MiB); --set-mib N makes a smaller set of the same three kinds of
# content instead. The installer's archive holds the set's files as many
# times as make at least --install-mib MiB (default 1024: four times set (a)).
# Needs scripts/build's programs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
runs=3 set_mib="" install_mib=1024
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --set-mib) set_mib=$2; shift 2 ;;
    --install-mib) install_mib=$2; shift 2 ;;
    *) echo "bench/wine.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

native="$root/build/native/tools/norvarc/norvarc"
[ -x "$root/build/bench/tools/norvarc/norvarc" ] && native="$root/build/bench/tools/norvarc/norvarc"
export NORV_E2E_NORVARC="$native"
export NORV_E2E_SCRATCH="$root/build/bench-wine"
source "$root/tests/e2e/wine-env.sh"
if [ "$NORV_WINE32_MODE" = native ]; then
  arch=i686
  tree="$root/build/mingw"
else
  arch=x86_64
  tree="$root/build/mingw-x86_64"
  # Debian's own wine (its 64-bit loader, no wine32 here) in a prefix of
  # its own, without the emulated 32-bit Wine's commands on PATH.
  PATH="${PATH#"$(dirname "$(command -v wine)")":}"
  unset QEMU_CPU
  export WINEARCH=win64 HOME="$NORV_E2E_SCRATCH/home-x86_64"
  export WINEPREFIX="$HOME/prefix"
fi
windows="$tree/tools/norvarc/norvarc.exe"
export NORV_E2E_EXE="$root/build/mingw/NorvInstall/NorvInstall.exe"
zlib_exe="$root/build/mingw/bench/NorvInstallZlib.exe"
export NORV_E2E_DRIVER="$root/build/mingw/tests/e2e/driver.exe"
for f in "$native" "$windows" "$NORV_E2E_EXE" "$zlib_exe" "$NORV_E2E_DRIVER"; do
  [ -f "$f" ] || { echo "bench/wine.sh: $f not built (run scripts/build)" >&2; exit 1; }
done
source "$root/tests/e2e/installer.sh"
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM
data="$NORV_E2E_SCRATCH/data"
mkdir -p "$data"

# MIB MiB in three files like set (a): log lines, binary records, random bytes.
make_mixed() {
  local dir=$1 mib=$2
  [ -f "$dir/.complete-$mib" ] && return 0
  rm -rf "$dir"
  mkdir -p "$dir"
  perl -e 'my ($dir, $mib) = @ARGV; my $x = 7;
    sub r { $x = ($x * 1103515245 + 12345) & 0x7fffffff; return $x >> 8 }
    my @w = map { join "", map { (qw(ra to me sa lin co ver da ne pro ti ca))[r() % 12] } 1 .. 1 + r() % 3 } 1 .. 4000;
    open my $t, ">", "$dir/log.txt"; my $n = 0;
    while ($n < $mib * 524288) { my $l = sprintf "2024-%02d-%02d %02d:%02d:%02d %s\n", 1 + r() % 12,
      1 + r() % 28, r() % 24, r() % 60, r() % 60, join " ", map { $w[(r() % 4000) * (r() % 4000) / 4000] } 1 .. 8;
      print $t $l; $n += length $l }
    open my $b, ">:raw", "$dir/records.bin";
    for (1 .. $mib * 314572.8 / 32) { print $b pack "VVa16VV", r() % 5000, 20240101 + r() % 365,
      $w[r() % 4000], r() % 100000, r() % 7 }
    open my $z, ">:raw", "$dir/random.bin";
    for (1 .. $mib * 209715.2 / 4) { print $z pack "V", r() ^ (r() << 12) }' "$dir" "$mib"
  touch "$dir/.complete-$mib"
}

if [ -n "$set_mib" ]; then
  set_dir="$data/set-$set_mib"
  make_mixed "$set_dir" "$set_mib"
elif [ -d "$root/build/bench-data/data/large" ]; then
  set_dir="$root/build/bench-data/data/large"
else
  echo "bench/wine.sh: no set (a) yet: run scripts/bench, or give --set-mib N" >&2
  exit 1
fi
# Bytes of the files under a folder, each hard link counted (du would not),
# the data generators' completion markers left out.
data_bytes() {
  find "$1" -type f ! -name '.complete*' -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }'
}
set_bytes=$(data_bytes "$set_dir")
# The installer's data: the set, hard-linked as often as it takes to reach
# --install-mib.
set_name="$(basename "$set_dir")"
install_dir="$data/install-data-$set_name-$install_mib"
if [ ! -f "$install_dir/.complete" ] || [ "$install_dir/.complete" -ot "$set_dir" ]; then
  rm -rf "$install_dir"
  mkdir -p "$install_dir"
  copies=$(((install_mib * 1048576 + set_bytes - 1) / set_bytes))
  for ((i = 1; i <= copies; i++)); do
    cp -al "$set_dir" "$install_dir/copy$i"
    find "$install_dir/copy$i" -name '.complete*' -delete
  done
  touch "$install_dir/.complete"
fi
install_bytes=$(data_bytes "$install_dir")

# One archive per set, made again when its data are newer.
archive="$data/$set_name.001"
if [ ! -f "$archive" ] || [ "$archive" -ot "$set_dir" ]; then
  rm -f "$data/$set_name".0*
  "$native" create --level max "$archive" "$set_dir" >/dev/null
fi
# Three volumes: the archive is made once whole to learn its size.
installer_dir="$data/install/$set_name-$install_mib"
mkdir -p "$installer_dir"
if [ ! -f "$installer_dir/BENCH.003" ] || [ "$installer_dir/BENCH.001" -ot "$install_dir" ]; then
  rm -f "$installer_dir"/BENCH.0* "$installer_dir"/WHOLE.0*
  "$native" create --level max --prefix 'C:\NORVBENCH' "$installer_dir/WHOLE.001" \
    "$install_dir" >/dev/null
  volume=$(($(stat -c %s "$installer_dir/WHOLE.001") / 3 + 1048576))
  rm -f "$installer_dir"/WHOLE.0*
  "$native" create --level max --max-size "$volume" --prefix 'C:\NORVBENCH' \
    "$installer_dir/BENCH.001" "$install_dir" >/dev/null
  [ -f "$installer_dir/BENCH.003" ] && [ ! -f "$installer_dir/BENCH.004" ] ||
    e2e_fail "the installer's archive is not in three volumes"
fi
: >"$installer_dir/Dados.txt"

e2e_start_display
if ! e2e_prefix_current; then
  e2e_note "making a Wine prefix (about 20 s)"
  e2e_make_prefix
fi

now_ms() { echo $(($(date +%s%N) / 1000000)); }
# Wine's server ends with its last program (Debian's Wine starts it with
# -p0), so each run would pay Wine's own start: the server and its
# services. Windows is up already when a customer starts a program, so the
# server is kept up for the runs (e2e_cleanup ends it), and that start is
# timed once on its own, from a stopped server to norvarc.exe's usage text.
timeout 60 wineserver -k >/dev/null 2>&1 || true
timeout 60 wineserver -w
t0=$(now_ms)
timeout 60 wine "$windows" --help >/dev/null 2>&1
wine_start=$(($(now_ms) - t0))
timeout 60 wineserver -w
timeout 60 wineserver -p
timeout 60 wine cmd /c exit >/dev/null 2>&1
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
out="$NORV_E2E_SCRATCH/out"

# Milliseconds of one run of a command: time_run COMMAND...
time_run() {
  rm -rf "$out"
  mkdir -p "$out"
  local t0
  t0=$(now_ms)
  "$@" >"$E2E_LOG/run.out" 2>&1 || { cat "$E2E_LOG/run.out" >&2; e2e_fail "failed: $*"; }
  echo $(($(now_ms) - t0))
}
# The medians, in milliseconds, of two contenders run in turn, so that both
# meet the same state of the machine (the disk's pace, other load):
# measure_pair ONE_RUN_A ONE_RUN_B prints "A B".
measure_pair() {
  local i t a="" b=""
  for ((i = 0; i < runs; i++)); do
    t=$($1) || return 1
    a+="$t"$'\n'
    t=$($2) || return 1
    b+="$t"$'\n'
  done
  echo "$(median <<<"$a") $(median <<<"$b")"
}
# norvarc.exe from the scratch folder, with relative names (data\NAME.001,
# out): it maps the destination as drive C: and reads the archive's name
# through that mapping.
wine_norvarc() { (cd "$NORV_E2E_SCRATCH" && timeout 600 wine "$windows" "$@"); }

# Milliseconds from pressing "&Instalar" to the completion banner seen.
install_once() {
  rm -rf "$WINEPREFIX/drive_c/NORVBENCH"
  # The driver's notes and the log of each run go to a folder of their own,
  # emptied every time, not beside the archive.
  E2E_WORK="$NORV_E2E_SCRATCH/install-run"
  rm -rf "$E2E_WORK"
  mkdir -p "$E2E_WORK"
  installer_start "$installer_dir" 'OVERWRITE BENCH.001'
  installer_wait_window
  # Timed by the driver's clock from the click to the banner seen, so that
  # the start and end of the driver's own programs are left out.
  local clicked
  clicked=$(drv click "$FORM" '&Instalar' 30000)
  installer_wait_banner
  echo $((BANNER_AT - ${clicked##* at }))
  memo_lines | grep -q 'PROCESSO N' && e2e_fail "the installation did not complete"
  installer_close
}
zlib_install_once() { NORV_E2E_EXE=$zlib_exe install_once; }
native_extract_once() { time_run "$native" extract "$archive" "$out"; }
wine_extract_once() { time_run wine_norvarc extract "data\\$set_name.001" out; }
native_test_once() { time_run "$native" test "$archive"; }
wine_test_once() { time_run wine_norvarc test "data\\$set_name.001"; }

mb_s() { awk -v b="$1" -v ms="$2" 'BEGIN { printf "%.1f", b / 1048576 / (ms / 1000) }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

e2e_note "set (a): $set_bytes bytes; installer archive: $install_bytes bytes in 3 volumes; $runs runs each"
pair=$(measure_pair native_extract_once wine_extract_once)
read -r native_extract wine_extract <<<"$pair"
pair=$(measure_pair native_test_once wine_test_once)
read -r native_test wine_test <<<"$pair"
fast_install="" zlib_install=""
if [ $arch = i686 ]; then
  pair=$(measure_pair install_once zlib_install_once)
  read -r fast_install zlib_install <<<"$pair"
fi

echo
echo "Wine section: set (a) $((set_bytes / 1048576)) MiB, installer archive $((install_bytes / 1048576)) MiB in 3 volumes, median of $runs runs (wall time, Wine's server kept up; norvarc with its program's start, an installation from the click to the banner)"
echo
echo "| contender | median s | MB/s out |"
echo "|---|---:|---:|"
rows=("norvarc extract (native)|$native_extract|$set_bytes"
  "norvarc.exe extract ($arch, Wine)|$wine_extract|$set_bytes"
  "norvarc test (native)|$native_test|$set_bytes"
  "norvarc.exe test ($arch, Wine)|$wine_test|$set_bytes")
if [ $arch = i686 ]; then
  rows+=("NorvInstall.exe install ($arch, Wine)|$fast_install|$install_bytes"
    "NorvInstallZlib.exe install, held to zlib ($arch, Wine)|$zlib_install|$install_bytes")
fi
for row in "${rows[@]}"; do
  IFS='|' read -r name ms bytes <<<"$row"
  printf '| %s | %.3f | %s |\n' "$name" "$(awk -v m="$ms" 'BEGIN { print m / 1000 }')" "$(mb_s "$bytes" "$ms")"
done
echo
echo "Wine's start (server and services from a stopped server, once): $(awk -v m="$wine_start" 'BEGIN { printf "%.3f", m / 1000 }') s"
echo
echo "Targets (figures only):"
echo "- extract under Wine >= 0.8 x native throughput: $(ratio "$native_extract" "$wine_extract")"
echo "- test under Wine >= 0.9 x native throughput: $(ratio "$native_test" "$wine_test")"
if [ $arch = i686 ]; then
  echo "- install <= 0.6 x the time held to zlib: $(ratio "$fast_install" "$zlib_install")"
else
  echo "- the 32-bit programs' figures (norvarc.exe, the installations) need a CPU that runs"
  echo "  32-bit code with Debian's wine32:i386: here the 32-bit Wine is emulated"
  echo "  ($("$E2E_WINE32" describe)), so the 64-bit norvarc.exe stands in and no installation is timed"
fi
