#!/usr/bin/env bash
# Runs win32_tests.exe under Wine on a private display, in the prefix that
# the end-to-end fixture made. Input: NORV_WIN32_TESTS (the .exe).
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/../e2e/wine-env.sh"
: "${NORV_WIN32_TESTS:?NORV_WIN32_TESTS is not set}"
norv_require_files "$NORV_WIN32_TESTS"
e2e_begin win32-unit
# Host file names in UTF-8, so that names with accented letters can be
# made as on Windows (the shared setting, C, allows ASCII names only).
export LC_ALL=C.UTF-8
status=0
e2e_wine 240 "$E2E_WORK/win32_tests.out" "$NORV_WIN32_TESTS" || status=$?
cat "$E2E_WORK/win32_tests.out" "$E2E_WORK/win32_tests.out.err"
exit $status
