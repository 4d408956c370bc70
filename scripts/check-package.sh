#!/usr/bin/env bash
# Checks the Debian package as a user gets it: builds it from the build folder ($1, default
# build), unpacks it into a temporary root and runs what it installed there: both programs'
# --version, a validation of the demo game, and the editor under Xvfb as far as its start-up
# window, which it then closes. Touches no file outside the temporary root.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
started=$SECONDS

fail() {
  echo "check-package: $*" >&2
  exit 1
}

cmake --build "$build" -j2 --target quoxmapper quoxmapper-cli
rm -f "$build"/quoxmapper_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$build"/quoxmapper_*.deb)
echo "Package: $deb ($(du -k "$deb" | cut -f1) kB)"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT

contents=$(dpkg-deb -c "$deb")
for file in usr/bin/quoxmapper usr/bin/quoxmapper-cli usr/share/quoxmapper/quoxmapper.hlp \
  usr/share/applications/quoxmapper.desktop usr/share/icons/hicolor/scalable/apps/quoxmapper.svg; do
  grep -q " \./$file\$" <<<"$contents" || fail "the package lacks $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
grep -q 'libqt6widgets6' <<<"$depends" || fail "the package does not depend on Qt's widgets: $depends"
dpkg -x "$deb" "$root/install"
bin="$root/install/usr/bin"
file "$bin/quoxmapper" | grep -q 'ELF 64-bit' || fail "quoxmapper is not a program"

version=$(sed -n 's/^project(QuoxMapper VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
"$bin/quoxmapper-cli" --version | grep -q "^quoxmapper-cli $version" || fail "quoxmapper-cli --version"
"$bin/quoxmapper" --version | grep -q "^quoxmapper $version" || fail "quoxmapper --version"

# A home of its own: the installed editor keeps its game list and settings there.
export HOME="$root/home" XDG_CONFIG_HOME="$root/home/.config" QUOX_REGISTRY_FILE="$root/home/registry.ini"
unset QUOX_GAMES_FILE QUOX_SETTINGS_FILE
"$bin/quoxmapper-cli" demo-game "$root/demo" --game vc >/dev/null
"$bin/quoxmapper-cli" validate "$root/demo" --game vc | grep -q "SUCCESS: No Errors Found!" \
  || fail "validate of the demo game"
mkdir -p "$XDG_CONFIG_HOME/quoxmapper"
printf '"%s/","Demo Town (Vice City)"\r\n' "$root/demo" >"$XDG_CONFIG_HOME/quoxmapper/GAMES.TXT"

# The editor under its own X server, until its start-up window is mapped.
xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
  "$1" &
  editor=$!
  for _ in $(seq 150); do
    if xwininfo -root -tree | grep -q "\"Quox Mapper\""; then
      kill "$editor"
      wait "$editor" 2>/dev/null || true
      exit 0
    fi
    kill -0 "$editor" 2>/dev/null || exit 1
    sleep 0.2
  done
  kill "$editor"
  exit 1
' check "$bin/quoxmapper" || fail "the installed editor did not show its start-up window"
[ ! -e "$bin/GAMES.TXT" ] || fail "the installed editor wrote into its program folder"

echo "The package installs and runs (checked in $((SECONDS - started)) s)."
