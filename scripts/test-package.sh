#!/usr/bin/env bash
# Builds the Debian package (./package) and checks it as a distribution would: lintian, the list
# of files with their modes, the desktop entry and the AppStream metadata as installed, and a
# throw-away install (dpkg -x) whose programs must start and stay up. Installs what is missing
# (Debian 12). Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/deps.sh
source scripts/deps.sh
qf_install_packages "${QF_PACKAGE_PACKAGES[@]}" "${QF_PACKAGE_CHECK_PACKAGES[@]}"

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

./package
deb=$(echo build/release/package/quillfen-settings_*.deb)
work=build/release/package/check
rm -rf "$work"
mkdir -p "$work"

echo "== lintian"
# Warnings count as failures; a tag we accept is overridden, with its reason, in the package.
lintian --fail-on error,warning --display-info "$deb" || fail "lintian"

echo "== control fields"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/release/CPackConfig.cmake)
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = "quillfen-settings" ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
for library in libqt6widgets6 libqt6gui6 libqt6core6 libudev1 libstdc++6 libc6; do
  field Depends | tr ',' '\n' | awk '{ print $1 }' | grep -qxF "$library" ||
    fail "Depends lacks $library: $(field Depends)"
done
# The versions the package states elsewhere must be the one it has.
head -n 1 packaging/linux/changelog | grep -q "^quillfen-settings ($version) " ||
  fail "packaging/linux/changelog does not start with version $version"
grep -q "<release version=\"$version\"" packaging/linux/*.metainfo.xml ||
  fail "the AppStream metadata has no release $version"

echo "== contents"
dpkg-deb --contents "$deb" >"$work/contents"
# mode path: every file and link the package must hold, and nothing else.
expected_files="
-rwxr-xr-x ./usr/bin/quillfen-settings
-rwxr-xr-x ./usr/bin/quillfen-settings-demo
-rw-r--r-- ./usr/lib/udev/rules.d/70-quillfen-pedals.rules
-rw-r--r-- ./usr/share/applications/org.quillfen.PedalsSettings.desktop
-rw-r--r-- ./usr/share/metainfo/org.quillfen.PedalsSettings.metainfo.xml
-rw-r--r-- ./usr/share/icons/hicolor/16x16/apps/quillfen-settings.png
-rw-r--r-- ./usr/share/icons/hicolor/32x32/apps/quillfen-settings.png
-rw-r--r-- ./usr/share/icons/hicolor/48x48/apps/quillfen-settings.png
-rw-r--r-- ./usr/share/icons/hicolor/256x256/apps/quillfen-settings.png
-rw-r--r-- ./usr/share/icons/hicolor/scalable/apps/quillfen-settings.svg
-rw-r--r-- ./usr/share/man/man1/quillfen-settings.1.gz
lrwxrwxrwx ./usr/share/man/man1/quillfen-settings-demo.1.gz
-rw-r--r-- ./usr/share/doc/quillfen-settings/copyright
-rw-r--r-- ./usr/share/doc/quillfen-settings/changelog.gz
-rw-r--r-- ./usr/share/lintian/overrides/quillfen-settings
"
awk '$1 !~ /^d/ { print $1, $6 }' "$work/contents" | sort >"$work/actual"
echo "$expected_files" | sed '/^$/d' | sort >"$work/expected"
while read -r line; do fail "missing or with another mode: $line"; done < <(comm -13 "$work/actual" "$work/expected")
while read -r line; do fail "not expected: $line"; done < <(comm -23 "$work/actual" "$work/expected")
bad_dirs=$(awk '$1 ~ /^d/ && $1 != "drwxr-xr-x" { print $1, $6 }' "$work/contents")
[ -z "$bad_dirs" ] || fail "directories with another mode than drwxr-xr-x: $bad_dirs"
bad_owners=$(awk '$2 != "root/root" { print $2, $6 }' "$work/contents")
[ -z "$bad_owners" ] || fail "not owned by root: $bad_owners"

root=$work/root
dpkg-deb --extract "$deb" "$root"
cmp -s "$root/usr/lib/udev/rules.d/70-quillfen-pedals.rules" packaging/linux/70-quillfen-pedals.rules ||
  fail "the installed udev rule differs from packaging/linux/70-quillfen-pedals.rules"
[ "$(readlink "$root/usr/share/man/man1/quillfen-settings-demo.1.gz")" = "quillfen-settings.1.gz" ] ||
  fail "the demo's manual page does not link to the program's"

echo "== desktop entry and AppStream metadata, as installed"
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml || fail "appstreamcli validate"

echo "== the installed programs start and stay up"
# Each runs for a few seconds on the offscreen platform; timeout's 124 says it was still running.
declare -A pids
for program in quillfen-settings quillfen-settings-demo; do
  QT_QPA_PLATFORM=offscreen timeout 4 "$root/usr/bin/$program" >"$work/$program.log" 2>&1 &
  pids[$program]=$!
done
for program in quillfen-settings quillfen-settings-demo; do
  status=0
  wait "${pids[$program]}" || status=$?
  if [ "$status" -ne 124 ]; then
    fail "the installed $program exited within 4 s (status $status); it said:"
    cat "$work/$program.log"
  else
    echo "$program stayed up for 4 s"
  fi
done

if [ "$failures" -ne 0 ]; then
  echo "== package check: $failures failure(s)"
  exit 1
fi
echo "== package check passed"
