#!/usr/bin/env bash
# Cross-builds the Qt-free HID platform layer and its tests for 64-bit Windows with MinGW-w64
# (build/mingw) and runs the tests under Wine, against Wine's own HID services and devices.
# Installs what is missing (Debian 12). Exits non-zero on any failure; skips, with a message and
# success, only when Wine itself cannot start on this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/mingw

# shellcheck source=scripts/deps.sh
source scripts/deps.sh
qf_install_packages cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth

echo "== cross build (build/mingw)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" \
  -DQF_PLATFORM_ONLY=ON -DQF_BUILD_TESTS=ON -DQF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j 2

# A prefix of our own, made afresh each run, so nothing of the user's Wine setup or of an earlier
# run is involved. Wine's hidden windows need an X display: everything runs inside one Xvfb.
export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko installer prompts
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"

cat >"$build/run-under-wine.sh" <<'INNER'
#!/usr/bin/env bash
set -uo pipefail
build=$1
# Creating the prefix also installs Wine's devices; wait until its services are done with it.
if ! timeout 180 wineboot --init >"$build/wineboot.log" 2>&1 || ! timeout 120 wineserver -w; then
  echo "== SKIPPED: Wine cannot start on this machine (see $build/wineboot.log)"
  exit 0
fi
# Wine's server stays up for the whole run (see scripts/windows-gui-under-wine.sh).
wineserver -p
status=0
ctest --test-dir "$build" --output-on-failure -j 2 --timeout 120 || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
INNER
chmod +x "$build/run-under-wine.sh"

echo "== tests under Wine (WINEPREFIX=build/mingw/wineprefix)"
xvfb-run -a "$build/run-under-wine.sh" "$build"
