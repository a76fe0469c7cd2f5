#!/usr/bin/env bash
# Builds the Debian package from a build folder (check_package.sh BUILD_DIR) and checks it as a
# user gets it: its name, every file it installs, Depends worked out by dpkg-shlibdeps, a menu
# entry that desktop-file-validate accepts, programs that still run after stripping, no error
# from lintian and, among all its tags, none about hardening.
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
debs=("$work"/*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, got: ${debs[*]}"
deb=${debs[0]}
version=$(dpkg-deb -f "$deb" Version)
arch=$(dpkg-deb -f "$deb" Architecture)
[ "$(basename "$deb")" = "volcrestone_${version}_${arch}.deb" ] ||
    fail "package named $(basename "$deb")"

expected="./usr/bin/volcrestone
./usr/bin/volcrestone-cli
./usr/bin/volcrestone-sim
./usr/share/applications/volcrestone.desktop
./usr/share/doc/volcrestone/changelog.gz
./usr/share/doc/volcrestone/copyright
./usr/share/icons/hicolor/128x128/apps/volcrestone.png
./usr/share/icons/hicolor/16x16/apps/volcrestone.png
./usr/share/icons/hicolor/22x22/apps/volcrestone.png
./usr/share/icons/hicolor/24x24/apps/volcrestone.png
./usr/share/icons/hicolor/256x256/apps/volcrestone.png
./usr/share/icons/hicolor/32x32/apps/volcrestone.png
./usr/share/icons/hicolor/48x48/apps/volcrestone.png
./usr/share/icons/hicolor/64x64/apps/volcrestone.png
./usr/share/icons/hicolor/scalable/apps/volcrestone.svg
./usr/share/man/man1/volcrestone-cli.1.gz
./usr/share/man/man1/volcrestone-sim.1.gz
./usr/share/man/man1/volcrestone.1.gz"
actual=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || { diff <(echo "$expected") <(echo "$actual") >&2; fail "file list"; }

depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
    [[ ", $depends" == *", $library (>= "* ]] || fail "Depends lacks $library: $depends"
done

dpkg-deb -x "$deb" "$work/root"
entry="$work/root/usr/share/applications/volcrestone.desktop"
desktop-file-validate "$entry" || fail "desktop entry"
grep -qx 'Exec=volcrestone' "$entry" || fail "the menu entry does not start the program (BEL)"
grep -qx 'Icon=volcrestone' "$entry" || fail "the menu entry does not use our icon"
"$work/root/usr/bin/volcrestone-cli" --help | grep -q '^usage: volcrestone-cli' ||
    fail "the packaged volcrestone-cli does not run"

lintian -I --fail-on error "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log" >&2; fail "lintian"; }
! grep hardening "$work/lintian.log" >&2 || fail "the programs lack some of the usual hardening"
echo "$(basename "$deb"): $(echo "$actual" | wc -l) files, Depends: $depends"
