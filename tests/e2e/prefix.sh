#!/usr/bin/env bash
# The test run's Wine prefix: "setup" makes it (once per run, ~15 s),
# "cleanup" removes it (~700 MB).
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/wine-env.sh"

case "${1:-}" in
  setup)
    norv_require_files "${NORV_E2E_DRIVER:?NORV_E2E_DRIVER is not set}"
    # Leftovers of a run that was killed outright.
    [ -d "$WINEPREFIX" ] && { timeout 20 wineserver -k >/dev/null 2>&1 || true; }
    e2e_reap_displays
    trap e2e_cleanup EXIT
    trap 'exit 130' INT TERM
    # wineboot opens windows of its own: give it a display.
    e2e_start_display
    e2e_make_prefix
    e2e_note "prefix ready"
    ;;
  cleanup)
    timeout 20 wineserver -k >/dev/null 2>&1 || true
    e2e_reap_displays
    rm -rf "$HOME"
    ;;
  *)
    echo "usage: $0 setup|cleanup" >&2
    exit 2
    ;;
esac
