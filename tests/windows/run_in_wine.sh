#!/usr/bin/env bash
# Runs one Windows program under Wine for CTest. Wine's helper processes (wineserver, the
# desktop, services) inherit the standard handles of the program that started them and outlive
# it, so a pipe handed to Wine would never close: output goes through files instead.
set -u
if [ -z "${WINEPREFIX:-}" ]; then
  echo "WINEPREFIX is not set: run the Windows tests through scripts/test-windows" >&2
  exit 2
fi
output=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$output" "$errors"' EXIT
wine "$@" </dev/null >"$output" 2>"$errors"
status=$?
cat "$output"
cat "$errors" >&2
exit $status
