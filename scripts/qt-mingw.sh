# Where the cached Qt for 64-bit Windows lives; sourced by scripts/build-qt-mingw.sh and by the
# Windows program's test stage, so both agree on the folder without building anything.
#
# The folder is keyed by the host Qt's version (the Windows Qt is built from the same source
# package) and by the hash of the build recipe in scripts/build-qt-mingw.sh, so a changed recipe
# builds a fresh Qt beside the old one instead of reusing a build of other options.

# The upstream version of Debian's host Qt (6.4.2 for 6.4.2+dfsg-10).
qf_qt_host_version() {
  local debian
  debian=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null) || return 1
  debian=${debian#*:}
  echo "${debian%%+*}" | sed 's/-[^-]*$//'
}

# The Debian version of the host Qt's source package, for apt-get source.
qf_qt_host_debian_version() {
  dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null
}

# The hash of the recipe: the lines between the two recipe markers of the build script.
qf_qt_recipe_hash() {
  local script
  script="$(dirname "${BASH_SOURCE[0]}")/build-qt-mingw.sh"
  sed -n '/^# --- recipe begin/,/^# --- recipe end/p' "$script" | sha256sum | cut -c1-12
}

qf_qt_cache_root() {
  echo "${XDG_CACHE_HOME:-$HOME/.cache}/quillfen"
}

# The install prefix of the cached Qt; it holds .complete once the build has finished.
qf_qt_mingw_prefix() {
  echo "$(qf_qt_cache_root)/qt-$(qf_qt_host_version)-mingw64-static-$(qf_qt_recipe_hash)"
}

qf_qt_mingw_ready() {
  [ -f "$(qf_qt_mingw_prefix)/.complete" ]
}
