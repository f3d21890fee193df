#!/usr/bin/env bash
# The part of scripts/test-windows-gui.sh that runs inside Xvfb: a fresh Wine prefix, the Qt
# tests on the offscreen platform, then both programs as a user starts them, on Wine's windows
# platform, judged from what they draw. Argument: the build folder.
set -uo pipefail
build=$1
shots=$build/shots
caption="Quillfen pedals settings"
slider_blue="#007AD9"  # the range sliders' track: drawn only once the window is live
status=0

fail() {
  echo "== FAILED: $*" >&2
  status=1
}

# Creating the prefix also installs Wine's devices; wait until its services are done with it.
if ! timeout 180 wineboot --init >"$build/wineboot.log" 2>&1 || ! timeout 120 wineserver -w; then
  echo "== SKIPPED: Wine cannot start on this machine (see $build/wineboot.log)"
  exit 0
fi

# Wine's server stays up until the end of the run. On its own it quits a few seconds after its
# last program has ended, and a program started while it quits fails at once with nothing printed
# or waits seconds for the next server: of 5,000 back-to-back test starts two failed and 177
# waited 2 s; with the server kept up, none.
wineserver -p

# A program that crashes ends with its error code instead of waiting for someone to close Wine's
# crash dialog.
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1

# Now and then a Wine process does not end although its test has finished (a few in a thousand,
# a different test each time, each passing when run again): a test that overruns its time gets
# one more run. A test that fails is not run again.
echo "== Qt tests under Wine (offscreen platform)"
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --no-tests=error --output-on-failure -j 2 \
  --timeout 120 --repeat after-timeout:2 || status=1

# Starts a program in the background (pid in $program_pid) and waits up to 60 s for its window
# (id in $program_window).
start_program() {
  local exe=$1 log=$2
  QT_FORCE_STDERR_LOGGING=1 QT_LOGGING_RULES="quillfen.*=true" wine "$exe" >"$log" 2>&1 &
  program_pid=$!
  program_window=""
  for _ in $(seq 120); do
    program_window=$(xdotool search --name "^$caption\$" 2>/dev/null | head -n 1)
    [ -n "$program_window" ] && return 0
    kill -0 "$program_pid" 2>/dev/null || return 1
    sleep 0.5
  done
  return 1
}

# Saves the program's window (frame included) and prints how many pixels of the sliders' blue
# it shows.
shoot() {
  local out=$1
  import -window root -crop "$(xdotool getwindowgeometry --shell "$program_window" |
    awk -F= '/^WIDTH/{w=$2} /^HEIGHT/{h=$2} /^X/{x=$2} /^Y/{y=$2} END{printf "%dx%d+%d+%d", w, h, x, y}')" \
    +repage "$out"
  convert "$out" -fuzz 6% -fill black +opaque "$slider_blue" -fill white -opaque "$slider_blue" \
    -colorspace gray -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Closes the window as a user does (Alt+F4) and waits up to 30 s for a clean exit.
close_program() {
  local name=$1 code
  xdotool windowfocus --sync "$program_window" 2>/dev/null
  xdotool key --clearmodifiers alt+F4
  for _ in $(seq 60); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.5
  done
  if kill -0 "$program_pid" 2>/dev/null; then
    fail "$name did not close on Alt+F4"
    kill "$program_pid" 2>/dev/null
    return
  fi
  wait "$program_pid"
  code=$?
  if [ "$code" -eq 0 ]; then
    echo "   $name closed on Alt+F4 and exited with 0"
  else
    fail "$name exited with $code"
  fi
}

echo "== the demo under Wine: goes live on the virtual pedal set"
if start_program "$build/app/quillfen-settings-demo.exe" "$shots/demo.log"; then
  sleep 6
  blue=$(shoot "$shots/windows-demo-live.png")
  echo "   slider pixels shown: $blue"
  [ "$blue" -gt 1000 ] || fail "the demo did not go live (no range slider drawn)"
  close_program demo
else
  fail "the demo showed no window (see $shots/demo.log)"
fi

echo "== the real program under Wine: Wine's HID devices, no pedal set, \"Connecting...\""
if start_program "$build/app/quillfen-settings.exe" "$shots/real.log"; then
  sleep 6
  blue=$(shoot "$shots/windows-connecting.png")
  echo "   slider pixels shown: $blue"
  kill -0 "$program_pid" 2>/dev/null || fail "the real program did not stay up"
  [ "$blue" -eq 0 ] || fail "the real program went past \"Connecting...\" without a pedal set"
  close_program "real program"
else
  fail "the real program showed no window (see $shots/real.log)"
fi

wineserver -k >/dev/null 2>&1 || true
exit $status
