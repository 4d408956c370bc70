#!/usr/bin/env bash
# Installs what is missing, builds, and shows what runs today: the command-line companion.
# The editor window comes with a later step; this script will then start it on the demo game.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target quoxmapper-cli

cli=build/src/cli/quoxmapper-cli
"$cli" --help
if [ "$#" -gt 0 ]; then
  "$cli" "$@"
fi
