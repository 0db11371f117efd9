#!/usr/bin/env bash
# scripts/sign with a throwaway self-made certificate: every program gets
# one Authenticode SHA-256 signature that osslsigncode verifies against
# that certificate, also when a signed program is signed again.
#   sign-test.sh PROGRAM.exe...   (copies are signed, not the build's files)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
work="$(mktemp -d "${TMPDIR:-/tmp}/norv-sign.XXXXXX")"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Norv Teste" \
  -keyout "$work/key.pem" -out "$work/cert.pem" 2>"$work/openssl.log" ||
  fail "openssl: $(cat "$work/openssl.log")"
copies=()
for program in "$@"; do
  [ -f "$program" ] || fail "not built: $program"
  mkdir -p "$work/${#copies[@]}"
  copies+=("$work/${#copies[@]}/$(basename "$program")")
  cp "$program" "${copies[-1]}"
done
"$root/scripts/sign" --cert "$work/cert.pem" --key "$work/key.pem" "${copies[@]}" >/dev/null
"$root/scripts/sign" --cert "$work/cert.pem" --key "$work/key.pem" "${copies[0]}" >/dev/null

for copy in "${copies[@]}"; do
  report="$(osslsigncode verify -CAfile "$work/cert.pem" -in "$copy" 2>&1)" ||
    fail "$copy does not verify: $report"
  grep -q '^Signature verification: ok' <<<"$report" || fail "$copy: $report"
  grep -q 'Message digest algorithm *: SHA256' <<<"$report" || fail "$copy: not SHA-256"
  grep -q 'Number of verified signatures: 1' <<<"$report" || fail "$copy: not one signature"
  echo "ok: $copy"
done
