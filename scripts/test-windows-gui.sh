#!/usr/bin/env bash
# Builds the whole program for 64-bit Windows (both .exe files and the Qt tests) with the cached
# static Qt for MinGW-w64 (scripts/build-qt-mingw.sh) into build/mingw-gui, then under Wine in
# Xvfb: runs the tests on the offscreen platform, starts the demo and checks that it goes live,
# starts the real program on Wine's own HID devices and checks that it waits at "Connecting...",
# and closes both. Screenshots land in build/mingw-gui/shots/. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/mingw-gui

# shellcheck source=scripts/deps.sh
source scripts/deps.sh
# shellcheck source=scripts/qt-mingw.sh
source scripts/qt-mingw.sh
qf_install_packages cmake ninja-build googletest g++-mingw-w64-x86-64-posix wine wine64 xvfb xauth \
  xdotool imagemagick fonts-liberation fonts-dejavu-core

qt=$(qf_qt_mingw_prefix)
if ! qf_qt_mingw_ready; then
  echo "== no cached Qt for Windows in $qt: run scripts/build-qt-mingw.sh first" >&2
  exit 1
fi

echo "== cross build of the program and its tests (build/mingw-gui)"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$qt/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" \
  -DQF_BUILD_TESTS=ON -DQF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j "$(nproc)"

# Qt's offscreen platform reads its fonts from one folder: the fonts the Linux build falls back
# to, gathered in one place. Wine sees the Unix root as drive Z:.
fonts=$build/fonts
mkdir -p "$fonts"
find /usr/share/fonts/truetype/liberation /usr/share/fonts/truetype/dejavu -name '*.ttf' \
  -exec ln -sf {} "$fonts/" \;

export WINEPREFIX=$build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no Mono/Gecko installer prompts
export QT_QPA_FONTDIR="Z:$fonts"
rm -rf "$WINEPREFIX" "$build/shots"
mkdir -p "$WINEPREFIX" "$build/shots"

echo "== tests and programs under Wine (WINEPREFIX=build/mingw-gui/wineprefix)"
xvfb-run -a -s '-screen 0 1280x900x24' "$root/scripts/windows-gui-under-wine.sh" "$build"
