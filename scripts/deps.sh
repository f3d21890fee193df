# Package lists and the installer shared by ./run and ./test (Debian 12).
# The window falls back to Liberation Sans for its Windows fonts; a bare machine has no fonts at all.
QF_BUILD_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libgl-dev libudev-dev fonts-liberation fonts-dejavu-core)
QF_TEST_PACKAGES=(googletest libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth)
# cpack's Debian generator computes the dependencies with dpkg-shlibdeps and finds binaries with file.
QF_PACKAGE_PACKAGES=(dpkg-dev file)
QF_PACKAGE_CHECK_PACKAGES=(lintian appstream desktop-file-utils)

# Installs whichever of the given packages are not installed yet; quiet when nothing is missing.
qf_install_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "== installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}
