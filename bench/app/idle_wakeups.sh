#!/bin/sh
# The waiting program's cost: starts a program (the real one, which finds no pedal set here, or
# its floor, build/bench/bench/app/idle_floor), lets it settle, then samples its main thread for
# a while and prints how often that thread woke up (its voluntary context switches), its CPU
# share of one core and its CPU per wake-up, from the scheduler's accounting in /proc. Needs a
# display; under Xvfb:
#   xvfb-run -a bench/app/idle_wakeups.sh build/bench/app/quillfen-settings [SECONDS [ARGS...]]
# where ARGS go to the program.
set -eu
program=${1:?program to measure}
shift
seconds=${1:-10}
[ $# -gt 0 ] && shift

"$program" "$@" &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
sleep 3

task=/proc/$pid/task/$pid
switches() { sed -n 's/^voluntary_ctxt_switches:[[:space:]]*//p' "$task/status"; }
cpu_ns() { cut -d' ' -f1 "$task/schedstat"; }
# The ninth field of /proc/stat's first line: ticks the host kept this machine's cores from it.
steal_ticks() { awk '/^cpu / { print $9 }' /proc/stat; }

switches_before=$(switches)
cpu_before=$(cpu_ns)
steal_before=$(steal_ticks)
sleep "$seconds"
switches_after=$(switches)
cpu_after=$(cpu_ns)
steal_after=$(steal_ticks)

awk -v s="$seconds" -v w0="$switches_before" -v w1="$switches_after" \
    -v c0="$cpu_before" -v c1="$cpu_after" \
    -v t0="$steal_before" -v t1="$steal_after" -v hz="$(getconf CLK_TCK)" 'BEGIN {
  printf "main thread over %d s: %.1f wake-ups/s, %.2f %% of one core, %.0f us a wake-up; host steal %.1f %% of a core\n",
         s, (w1 - w0) / s, (c1 - c0) / (s * 1e9) * 100, (w1 > w0 ? (c1 - c0) / (w1 - w0) / 1e3 : 0),
         (t1 - t0) / hz / s * 100
}'
