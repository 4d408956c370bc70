#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: once in a normal build
# (then checks the Debian package made from it), once with AddressSanitizer and
# UndefinedBehaviorSanitizer; then runs each fuzz program briefly and the core's tests built
# for Windows under Wine (QUOX_SKIP_WINDOWS=1 leaves those out).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh

# A machine that has ccache (the fuzz and Windows builds use it too) rebuilds only what changed.
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
cmake --build build -j2
ctest --test-dir build -j2 --output-on-failure
# The Debian package, unpacked and run as installed.
bash scripts/check-package.sh build

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DENABLE_ASAN=ON -DENABLE_UBSAN=ON \
  -DQUOX_BUILD_BENCHMARKS=OFF "${launcher[@]}"
cmake --build build-sanitize -j2
ctest --test-dir build-sanitize -j2 --output-on-failure

bash scripts/fuzz.sh 30

# The core and the command-line tool built for Windows and tested under Wine.
if [ "${QUOX_SKIP_WINDOWS:-}" != "1" ]; then
  bash scripts/test-windows.sh
fi
