#!/usr/bin/env bash
# The Debian package of a build: built with CPack, it holds the three
# programs, the panel's menu entry and icons and the timer's unit, and
# depends on the Qt libraries the programs link.
#   package_test.sh BUILD_DIR [OUT_DIR]   (OUT_DIR keeps the .deb; default: a temporary folder)
# Exits 77 (skipped) where the Debian packaging tools are missing.
set -euo pipefail
build="$(cd "$1" && pwd)"
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  command -v "$tool" >/dev/null || { echo "skipped: no $tool"; exit 77; }
done
out="${2:-}"
tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT
[ -n "$out" ] || out="$tmp/out"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
(cd "$build" && cpack -G DEB -B "$out" >"$tmp/cpack.log" 2>&1) || { cat "$tmp/cpack.log"; exit 1; }
deb="$(ls "$out"/omnar-control_*.deb)"

dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$tmp/files"
expected=(
  /usr/bin/omnar-control
  /usr/bin/omnar-ctl
  /usr/bin/omnar-sim
  /usr/share/applications/omnar-control.desktop
  /usr/share/icons/hicolor/48x48/apps/omnar-control.png
  /usr/share/icons/hicolor/256x256/apps/omnar-control.png
  /usr/lib/systemd/system/omnar-timer.service
  /usr/lib/sysusers.d/omnar-control.conf
  /usr/share/doc/omnar-control/README.md
)
status=0
for f in "${expected[@]}"; do
  grep -qx "$f" "$tmp/files" || { echo "missing from the package: $f"; status=1; }
done

depends="$(dpkg-deb -f "$deb" Depends)"
for d in libqt6widgets6 libqt6serialport6 libstdc++6 libc6 qt6-qpa-plugins; do
  [[ "$depends" == *"$d"* ]] || { echo "no dependency on $d: $depends"; status=1; }
done
[ "$(dpkg-deb -f "$deb" Package)" = omnar-control ] || { echo "wrong package name"; status=1; }

# What the package installs works and says what it should.
dpkg-deb -x "$deb" "$tmp/root"
"$tmp/root/usr/bin/omnar-ctl" --version | grep -q '^omnar-ctl [0-9]' || { echo "packaged omnar-ctl does not run"; status=1; }
if ldd "$tmp/root/usr/bin/omnar-ctl" | grep -qi qt; then echo "omnar-ctl links Qt"; status=1; fi
unit="$tmp/root/usr/lib/systemd/system/omnar-timer.service"
user="$(sed -n 's/^User=//p' "$unit")"
[ -n "$user" ] || { echo "the unit names no user"; status=1; }
# The package makes the unit's user: sysusers names it and postinst runs sysusers.
grep -q "^u $user " "$tmp/root/usr/lib/sysusers.d/omnar-control.conf" \
  || { echo "the package does not create the unit's user $user"; status=1; }
dpkg-deb -I "$deb" postinst | grep -q 'systemd-sysusers /usr/lib/sysusers.d/omnar-control.conf' \
  || { echo "no postinst creates the user"; status=1; }
grep -q '^ExecStart=omnar-ctl timer$' "$unit" || { echo "the unit does not run the timer"; status=1; }
desktop="$tmp/root/usr/share/applications/omnar-control.desktop"
grep -q '^Exec=omnar-control$' "$desktop" && grep -q '^Icon=omnar-control$' "$desktop" \
  || { echo "the menu entry does not start the panel with its icon"; status=1; }
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$desktop" || status=1; fi
file "$tmp/root/usr/share/icons/hicolor/256x256/apps/omnar-control.png" | grep -q '256 x 256' \
  || { echo "the icon is no 256 x 256 PNG"; status=1; }

[ $status -eq 0 ] && echo "ok: $(basename "$deb")"
exit $status
