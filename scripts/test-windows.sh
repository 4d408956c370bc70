#!/usr/bin/env bash
# Builds the core, quoxmapper-cli, the demo game writer and the core's tests for 64-bit Windows
# with Debian's MinGW-w64 and runs them under Wine; then writes the demo game into a folder
# with blanks and non-ASCII letters in its name and compares the output of a few
# quoxmapper-cli.exe runs with the Linux program's (when build/ holds one).
# The editor itself needs Qt 6 for Windows, which Debian does not ship: it is not built here.
#
# Everything it makes lives in build-windows/ (or $QUOX_WINDOWS_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
phase_start=$SECONDS
# Prints how long the step before took, for the CI log.
phase_done() {
  echo "test-windows.sh: $1 took $((SECONDS - phase_start)) s"
  phase_start=$SECONDS
}
root="$PWD"
out="${QUOX_WINDOWS_BUILD:-$root/build-windows}"
mkdir -p "$out"
toolchain="$root/cmake/mingw-w64-x86_64.cmake"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  # ccache caches files compiled with a precompiled header only when told these are safe.
  export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:+$CCACHE_SLOPPINESS,}pch_defines,time_macros,include_file_mtime,include_file_ctime"
fi

# --- Packages ------------------------------------------------------------------------------
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 googletest libcli11-dev
          nlohmann-json3-dev libstb-dev)
bash "$root/scripts/install-packages.sh" "${packages[@]}"

phase_done "installing packages"

# --- Libraries for the target, in one prefix ----------------------------------------------
deps="$out/deps"
mkdir -p "$deps/include" "$deps/share/cmake"

# The header-only libraries: only their own folders, never the host's whole /usr/include.
ln -sfn /usr/include/CLI "$deps/include/CLI"
ln -sfn /usr/include/nlohmann "$deps/include/nlohmann"
ln -sfn /usr/include/stb "$deps/include/stb"
for package in CLI11 nlohmann_json; do
  rm -rf "$deps/share/cmake/$package"
  cp -r "/usr/share/cmake/$package" "$deps/share/cmake/$package"
done

if [ ! -f "$deps/lib/cmake/GTest/GTestConfig.cmake" ]; then
  cmake -S /usr/src/googletest -B "$out/googletest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_GMOCK=OFF \
    -Dgtest_disable_pthreads=OFF "${launcher[@]}"
  cmake --build "$out/googletest" -j2
  cmake --install "$out/googletest"
fi

# libsquish (the demo game's DXT textures) has no MinGW package: its Debian source package
# is fetched with a private source list, leaving the system's apt configuration alone.
if [ ! -f "$deps/lib/libsquish.a" ]; then
  sources="$out/squish-source"
  if [ ! -f "$sources/squish.h" ]; then
    apt_dir="$out/apt-source"
    mkdir -p "$apt_dir/lists/partial"
    printf 'deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main\n' \
      > "$apt_dir/sources.list"
    apt_options=(-o Dir::Etc::SourceList="$apt_dir/sources.list" -o Dir::Etc::SourceParts=/nonexistent
                 -o Dir::State::Lists="$apt_dir/lists" -o APT::Sandbox::User=root)
    apt-get "${apt_options[@]}" update
    (cd "$apt_dir" && apt-get "${apt_options[@]}" source --download-only libsquish)
    rm -rf "$sources"
    mkdir -p "$sources"
    tar -xzf "$apt_dir"/libsquish_*.orig.tar.gz -C "$sources"
  fi
  # SSE2 as in Debian's Linux build, so both programs compress the textures alike.
  cmake -S "$sources" -B "$out/squish" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_SHARED_LIBS=OFF \
    -DBUILD_SQUISH_WITH_OPENMP=OFF -DBUILD_SQUISH_EXTRA=OFF -DCMAKE_CXX_FLAGS="-DSQUISH_USE_SSE=2 -msse2" \
    "${launcher[@]}"
  cmake --build "$out/squish" -j2
  cmake --install "$out/squish"
fi

phase_done "GoogleTest and libsquish for Windows"

# --- Wine ----------------------------------------------------------------------------------
export WINEPREFIX="$out/wine"
export WINEDEBUG=-all
# Wine turns the arguments of a program into wide characters by the locale's character set.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot --init
  wineserver --wait
fi
phase_done "the Wine prefix"

# --- Build and test ------------------------------------------------------------------------
# -O1 without debug information: the build is tested, not debugged, and this halves its time.
cmake -S . -B "$out/quox" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DQUOX_WINDOWS_DEPS="$deps" -DQUOX_BUILD_EDITOR=OFF \
  -DQUOX_BUILD_BENCHMARKS=OFF "${launcher[@]}"
cmake --build "$out/quox" -j2
phase_done "the build"
ctest --test-dir "$out/quox" -j2 --output-on-failure
phase_done "the tests"

# --- The command-line tool on the demo game, against the Linux program ---------------------
cli_exe="$out/quox/src/cli/quoxmapper-cli.exe"
linux_cli="$root/build/src/cli/quoxmapper-cli"
compare="$out/compare"
rm -rf "$compare"
game_name="Spiele Ordner Ä ø"
mkdir -p "$compare/windows" "$compare/linux"

# Writes the demo game to $1 (a Windows path for the .exe, with separator $3) with the program
# given after $3, and stores the output of each command under $2.
run_commands() {
  local game="$1" into="$2" sep="$3"
  shift 3
  local program=("$@")
  "${program[@]}" demo-game "$game" --game vc >/dev/null
  "${program[@]}" dat "$game" > "$into/dat.txt"
  "${program[@]}" roundtrip "$game${sep}data${sep}maps${sep}downtown${sep}downtown.ipl" > "$into/roundtrip.txt"
  "${program[@]}" img list "$game${sep}models${sep}gta3.img" > "$into/img-list.txt"
  "${program[@]}" txd info "$game${sep}models${sep}generic.txd" > "$into/txd-info.txt"
}

windows_game="$(winepath -w "$compare/windows")\\$game_name"
run_commands "$windows_game" "$compare/windows" "\\" wine "$cli_exe"
if [ -x "$linux_cli" ]; then
  run_commands "$compare/linux/$game_name" "$compare/linux" / "$linux_cli"
  diff -r "$compare/linux" "$compare/windows" --exclude="$game_name"
  echo "quoxmapper-cli.exe under Wine printed the same as the Linux program."
else
  echo "No Linux quoxmapper-cli in build/: the outputs were not compared."
fi
phase_done "the command-line comparison"

# --- The command-line tool as Windows users get it -----------------------------------------
# A zip of quoxmapper-cli.exe with the DLLs it needs beyond Windows' own (none while it is
# linked statically), checked by running it unpacked elsewhere.
version=$(sed -n 's/^project(QuoxMapper VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
package="quoxmapper-cli-$version-windows-x64"
rm -rf "$out/zip" "$out/$package.zip"
mkdir -p "$out/zip/$package" "$out/zip/check"
cp "$cli_exe" "$out/zip/$package/"
for dll in $(x86_64-w64-mingw32-objdump -p "$cli_exe" | sed -n 's/^[[:space:]]*DLL Name: //p'); do
  found=$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32/lib "$deps" -iname "$dll" -print -quit 2>/dev/null || true)
  if [ -n "$found" ]; then
    cp "$found" "$out/zip/$package/"
  fi
done
(cd "$out/zip" && cmake -E tar cf "$out/$package.zip" --format=zip "$package")
(cd "$out/zip/check" && cmake -E tar xf "$out/$package.zip")
wine "$out/zip/check/$package/quoxmapper-cli.exe" --version | tr -d '\r' | grep -q "^quoxmapper-cli $version"
echo "Windows command-line tool: $out/$package.zip"
phase_done "the Windows zip"
