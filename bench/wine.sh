#!/usr/bin/env bash
# The Wine section of scripts/bench (figures only): the 32-bit norvarc.exe
# extracting and testing set (a) under Wine against the native norvarc on
# the same data, and NorvInstall.exe installing a 3-volume archive under
# Wine against the same program held to zlib (NorvInstallZlib.exe) and
# against the one that replaces file by file (NorvInstallPerFile.exe, what
# all or nothing costs; also as an update of set (b), many small files),
# both built beside it in the Windows tree. Medians of wall time over the
# runs, the two contenders of each pair taking turns, with Wine's server
# kept up between them; Wine's own start is timed once apart. An
# installation is timed by the e2e driver, from its click to the banner it
# sees.
#
# Where the 32-bit Wine is emulated (scripts/wine32), its times would be
# qemu's, not the programs': there the 64-bit builds (norvarc.exe, the
# installers and the driver, built here) run under the machine's own 64-bit
# Wine instead, and the report says so.
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
if [ $arch = x86_64 ]; then
  # The installers' figures are the file system's and the decoder's, not
  # the instruction set's: on such a machine the 64-bit builds stand in.
  cmake --build "$tree" --target NorvInstall NorvInstallZlib NorvInstallPerFile driver >/dev/null
fi
export NORV_E2E_EXE="$tree/NorvInstall/NorvInstall.exe"
zlib_exe="$tree/bench/NorvInstallZlib.exe"
per_file_exe="$tree/bench/NorvInstallPerFile.exe"
export NORV_E2E_DRIVER="$tree/tests/e2e/driver.exe"
for f in "$native" "$windows" "$NORV_E2E_EXE" "$zlib_exe" "$per_file_exe" "$NORV_E2E_DRIVER"; do
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
# The installer's archive of the files below FOLDER, in three volumes
# (made once whole to learn its size) in the folder OUT, with its Dados.txt.
#   installer_archive FOLDER OUT
installer_archive() {
  local from=$1 to=$2 volume
  mkdir -p "$to"
  if [ ! -f "$to/BENCH.003" ] || [ "$to/BENCH.001" -ot "$from" ]; then
    rm -f "$to"/BENCH.0* "$to"/WHOLE.0*
    "$native" create --level max --prefix 'C:\NORVBENCH' "$to/WHOLE.001" "$from" >/dev/null
    volume=$(($(stat -c %s "$to/WHOLE.001") / 3 + 1048576))
    rm -f "$to"/WHOLE.0*
    "$native" create --level max --max-size "$volume" --prefix 'C:\NORVBENCH' \
      "$to/BENCH.001" "$from" >/dev/null
    [ -f "$to/BENCH.003" ] && [ ! -f "$to/BENCH.004" ] ||
      e2e_fail "the installer's archive of $from is not in three volumes"
  fi
  : >"$to/Dados.txt"
}
installer_dir="$data/install/$set_name-$install_mib"
installer_archive "$install_dir" "$installer_dir"
# Set (b), many small files, where all or nothing costs the most: installed
# as it is, when scripts/bench has made it.
small_dir="$root/build/bench-data/data/small"
small_installer_dir=""
if [ -d "$small_dir" ]; then
  small_installer_dir="$data/install/small"
  installer_archive "$small_dir" "$small_installer_dir"
  small_bytes=$(data_bytes "$small_dir")
  small_files=$(find "$small_dir" -type f ! -name '.complete*' | wc -l)
fi

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

# Milliseconds from pressing "&Instalar" to the completion banner seen, for
# the archive in $install_from.
install_from=$installer_dir install_over=0
install_once() {
  [ "$install_over" = 1 ] || rm -rf "$WINEPREFIX/drive_c/NORVBENCH"
  # The driver's notes and the log of each run go to a folder of their own,
  # emptied every time, not beside the archive.
  E2E_WORK="$NORV_E2E_SCRATCH/install-run"
  rm -rf "$E2E_WORK"
  mkdir -p "$E2E_WORK"
  installer_start "$install_from" 'OVERWRITE BENCH.001'
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
per_file_install_once() { NORV_E2E_EXE=$per_file_exe install_once; }
# Set (b) as an update: every file replaces the one the run before left.
small_install_once() { install_from=$small_installer_dir install_over=1 install_once; }
small_per_file_install_once() {
  install_from=$small_installer_dir install_over=1 per_file_install_once
}
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
pair=$(measure_pair install_once zlib_install_once)
read -r fast_install zlib_install <<<"$pair"
pair=$(measure_pair install_once per_file_install_once)
read -r whole_install per_file_install <<<"$pair"
if [ -n "$small_installer_dir" ]; then
  # The installation the first timed update replaces.
  rm -rf "$WINEPREFIX/drive_c/NORVBENCH"
  small_per_file_install_once >/dev/null
  pair=$(measure_pair small_install_once small_per_file_install_once)
  read -r small_whole_install small_per_file_install <<<"$pair"
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
rows+=("NorvInstall.exe install ($arch, Wine)|$fast_install|$install_bytes"
  "NorvInstallZlib.exe install, held to zlib ($arch, Wine)|$zlib_install|$install_bytes"
  "NorvInstall.exe install, all or nothing, again ($arch, Wine)|$whole_install|$install_bytes"
  "NorvInstallPerFile.exe install, file by file ($arch, Wine)|$per_file_install|$install_bytes")
if [ -n "$small_installer_dir" ]; then
  rows+=("NorvInstall.exe update of set (b), all or nothing ($arch, Wine)|$small_whole_install|$small_bytes"
    "NorvInstallPerFile.exe update of set (b), file by file ($arch, Wine)|$small_per_file_install|$small_bytes")
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
echo "- install <= 0.6 x the time held to zlib: $(ratio "$fast_install" "$zlib_install")"
echo "- install all or nothing <= 1.10 x file by file, set (a): $(ratio "$whole_install" "$per_file_install")"
if [ -n "$small_installer_dir" ]; then
  echo "- update all or nothing <= 1.10 x file by file, set (b) ($small_files files):" \
    "$(ratio "$small_whole_install" "$small_per_file_install")"
else
  echo "- set (b)'s update: not measured (scripts/bench makes set (b))"
fi
if [ $arch = x86_64 ]; then
  echo "- the 32-bit programs' figures need a CPU that runs 32-bit code with Debian's"
  echo "  wine32:i386: here the 32-bit Wine is emulated ($("$E2E_WINE32" describe)),"
  echo "  so the 64-bit builds of norvarc.exe and the installers stand in"
fi
