#!/usr/bin/env bash
# Runs one Windows test program under Wine, as ctest's emulator in the Windows test stages.
# Wine itself now and then fails a run that the program has no part in, and such a run is tried
# once more, and said so:
# - Wine exits with an error within milliseconds, before the program has printed a line;
# - Wine dies of a Unix signal (seen: a segmentation fault after the test had printed that it
#   passed, about once in a thousand runs). A crash of the program itself does not look like
#   this: Wine ends a crashed Windows program with the exception's code.
# Any other exit keeps its code, so a failing test is never run again.
set -uo pipefail
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
for attempt in 1 2; do
  # stdout goes through as it comes, so a program that hangs has still shown how far it got.
  wine "$@" 2>"$err" | tee "$out"
  code=$?
  cat "$err" >&2
  [ "$attempt" -eq 2 ] && break
  if [ "$code" -gt 128 ]; then
    echo "wine-run.sh: Wine died of signal $((code - 128)) running $1; starting it once more" >&2
  elif [ "$code" -ne 0 ] && [ ! -s "$out" ] && [ ! -s "$err" ]; then
    echo "wine-run.sh: Wine exited with $code before $1 printed anything; starting it once more" >&2
  else
    break
  fi
done
exit "$code"
