#!/usr/bin/env bash
# Builds Qt for 64-bit Windows (static, MinGW-w64, release) from Debian's own source package of
# the host Qt, once, into a cache folder outside the checkout (scripts/qt-mingw.sh says where).
# A second run finds the finished cache and does nothing. Two runs never build at once: the
# second waits for the first and then finds its result. Takes 50-95 minutes on two cores and
# about 1.5 GB of disk while it builds (the build tree is removed afterwards; ~100 MB stay).
#
# Only qtbase's Core, Gui, Widgets and Test, with the windows and offscreen platform plugins:
# no OpenGL, D-Bus, SQL, network, XML or print support. The host's moc, rcc and uic are used.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

# shellcheck source=scripts/deps.sh
source scripts/deps.sh
# shellcheck source=scripts/qt-mingw.sh
source scripts/qt-mingw.sh

qf_install_packages cmake ninja-build perl dpkg-dev xz-utils qt6-base-dev qt6-base-dev-tools \
  g++-mingw-w64-x86-64-posix

prefix=$(qf_qt_mingw_prefix)
cache=$(qf_qt_cache_root)
mkdir -p "$cache"

exec 9>"$cache/qt-mingw.lock"
if ! flock -n 9; then
  echo "== Qt for Windows: another build is running; waiting for it"
  flock 9
fi
if qf_qt_mingw_ready; then
  echo "== Qt for Windows: cached in $prefix"
  exit 0
fi

work="$prefix.work"
log="$work/build.log"
rm -rf "$work" "$prefix"
mkdir -p "$work"
stage() { echo "== Qt for Windows [$1/5] $2 ($(date +%H:%M:%S); log: $log)"; }

# Adds a deb-src entry for every Debian archive the machine already uses, unless one exists.
add_deb_src() {
  local sudo="" list=/etc/apt/sources.list.d/quillfen-deb-src.sources
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return 0
  fi
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | $sudo tee "$list" >/dev/null
  else
    grep -hE '^deb ' /etc/apt/sources.list | grep -i debian | sed 's/^deb /deb-src /' |
      $sudo tee /etc/apt/sources.list.d/quillfen-deb-src.list >/dev/null
  fi
  $sudo apt-get update -qq
}

stage 1 "source package qt6-base $(qf_qt_host_debian_version)"
add_deb_src
(cd "$work" && apt-get source -qq --download-only "qt6-base=$(qf_qt_host_debian_version)" >>"$log" 2>&1 &&
  dpkg-source -x --skip-patches ./*.dsc src >>"$log" 2>&1)
src="$work/src"

# --- recipe begin (changing anything up to the end marker builds a fresh cache)
qt_options=(
  -release -static -static-runtime
  -xplatform win32-g++
  -qt-host-path /usr
  -nomake examples -nomake tests
  -no-opengl -no-dbus -no-icu -no-fontconfig
  -qt-zlib -qt-libpng -no-libjpeg -qt-pcre -qt-freetype -qt-harfbuzz
  -no-feature-sql -no-feature-network -no-feature-xml -no-feature-printsupport
  -no-feature-concurrent -no-feature-vulkan -no-feature-tabletevent
)
# The toolchain file picks the POSIX-thread compilers (std::thread needs them).
cmake_options=(
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
)
# --- recipe end

stage 2 "configure"
mkdir -p "$work/build"
(cd "$work/build" && "$src/configure" -prefix "$prefix" "${qt_options[@]}" -- "${cmake_options[@]}" >>"$log" 2>&1) || {
  echo "== Qt for Windows: configure failed; the end of $log:"
  tail -40 "$log"
  exit 1
}

stage 3 "build (about 1050 steps)"
cmake --build "$work/build" --parallel "$(nproc)" >>"$log" 2>&1 || {
  echo "== Qt for Windows: build failed; the end of $log:"
  tail -40 "$log"
  exit 1
}

stage 4 "install"
cmake --install "$work/build" >>"$log" 2>&1
cp "$log" "$prefix/build.log"

stage 5 "done: $prefix ($(du -sh "$prefix" | cut -f1))"
touch "$prefix/.complete"
rm -rf "$work"
