#!/usr/bin/env bash
# Tests that need another build tree (the MinGW programs, the sanitizer or
# fuzz tree) or the 32-bit Wine are skipped with the reason, CTest's skip
# code 77, where that is missing: a plain cmake/ctest of the native tree
# passes. scripts/test builds every tree and sets NORV_REQUIRE_ALL_TREES=1,
# and there a missing piece fails the test instead.
#
# Sourced (bash): norv_skip REASON; norv_require_files FILE...
# Run:            require-built.sh FILE... -- COMMAND ARGS...

norv_skip() {
  if [ "${NORV_REQUIRE_ALL_TREES:-}" = 1 ]; then
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
  fi
  printf 'SKIP: %s\n' "$*"
  exit 77
}

norv_require_files() {
  local file
  for file; do
    [ -e "$file" ] || norv_skip "not built: $file (scripts/build makes it)"
  done
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  files=()
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    files+=("$1")
    shift
  done
  [ "${1:-}" = -- ] || { echo "usage: $0 FILE... -- COMMAND ARGS..." >&2; exit 2; }
  shift
  norv_require_files "${files[@]}"
  exec "$@"
fi
