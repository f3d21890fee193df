#!/usr/bin/env bash
# Runs one Windows test program under Wine, as ctest's emulator in the Windows test stages.
# Wine now and then fails to start a program at all: it exits with an error within milliseconds,
# before the program has printed a line. Such a start is tried once more, and said so; a program
# that ran and printed anything keeps its exit code, so a failing test is never run again.
set -uo pipefail
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2; do
  # stdout goes through as it comes, so a program that hangs has still shown how far it got.
  wine "$@" 2>"$err" | tee "$out"
  code=$?
  if [ "$code" -eq 0 ] || [ -s "$out" ] || [ -s "$err" ] || [ "$attempt" -eq 2 ]; then break; fi
  echo "wine-run.sh: Wine exited with $code before $1 printed anything; starting it once more" >&2
done
cat "$err" >&2
exit "$code"
