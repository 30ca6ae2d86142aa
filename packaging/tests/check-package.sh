#!/bin/bash
# Builds the Debian package from a built tree, checks its dependencies and contents, and runs the
# programs from the unpacked package: they find their language libraries, manual and demo data
# there, not in the build tree.
# Usage: check-package.sh BUILD-DIR
set -u
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

(cd "$build" && cpack -G DEB -B "$scratch/out" > "$scratch/cpack.log" 2>&1) || { tail -20 "$scratch/cpack.log"; fail "cpack failed"; }
deb=$(ls "$scratch"/out/*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no package made"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libstdc++6 libqt6widgets6 libqt6gui6 libqt6core6 qt6-qpa-plugins; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root" || fail "cannot unpack $deb"
share="$root/usr/share"
for file in usr/bin/zeb500 usr/bin/zeb500-cli usr/bin/zeb500-sim \
    usr/share/man/man1/zeb500.1 usr/share/man/man1/zeb500-cli.1 usr/share/man/man1/zeb500-sim.1 \
    usr/share/applications/zeb500.desktop usr/share/icons/hicolor/64x64/apps/zeb500.png \
    usr/share/mime/packages/zeb500.xml \
    usr/share/zeb500/demo/demo.ute usr/share/zeb500/demo/isync.nmea usr/share/zeb500/demo/ide0a/README.TXT \
    usr/share/zeb500/documentation/style.css usr/share/zeb500/documentation/images/browser.png; do
    [ -f "$root/$file" ] || fail "missing $file"
done
for code in ENU FRA ESP; do
    [ -f "$share/zeb500/UTTEV001R001$code.so" ] || fail "missing the $code language library"
    [ -f "$share/zeb500/documentation/$code/introduction.html" ] || fail "missing the $code manual"
done
grep -q '^Exec=zeb500' "$share/applications/zeb500.desktop" || fail "desktop entry starts no zeb500"
grep -q 'doc-address' "$share/man/man1/zeb500-cli.1" || fail "zeb500-cli manual page lacks its subcommands"
if command -v desktop-file-validate > /dev/null; then
    desktop-file-validate "$share/applications/zeb500.desktop" || fail "desktop entry is not valid"
fi

# The programs as a user runs them: no build tree, no asset folder named.
export XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" ZEB500_HOME="$scratch/home" XDG_RUNTIME_DIR="$scratch"
unset ZEB500_ASSETS
shown=$("$root/usr/bin/zeb500-cli" doc-address --lang FRA "file://$share/zeb500/documentation/ENU/introduction.html")
[ "$shown" = "$share/zeb500/documentation/FRA/introduction.html" ] || fail "installed manual not found: $shown"
mkdir -p "$scratch/config/Orvane"
printf '[Settings]\nlanguage=ENU\n' > "$scratch/config/Orvane/ZEB500.ini"
QT_QPA_PLATFORM=offscreen ZEB500_EXIT_WHEN_SHOWN=1 timeout 30 "$root/usr/bin/zeb500" > "$scratch/run.log" 2>&1 \
    || { cat "$scratch/run.log"; fail "the installed workbench did not start"; }
timeout 10 "$root/usr/bin/zeb500-sim" --help > /dev/null || fail "the installed simulator does not run"
echo "ok: $(basename "$deb")"
