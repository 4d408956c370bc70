#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo game in both forms (Vice City and
# GTA III), lists both in GAMES.TXT beside the program and starts the editor.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target quoxmapper quoxmapper-cli

cli=build/src/cli/quoxmapper-cli
demo="$PWD/build/demo"
# Written once: edits saved in the editor stay for the next start.
for game in vc gta3; do
  if [ ! -f "$demo/$game/models/gta3.img" ]; then
    "$cli" demo-game "$demo/$game" --game "$game"
  fi
done
echo "Demo game in $demo/vc (Vice City form) and $demo/gta3 (GTA III form)."

# The game list beside the program, written once so games added in the start-up window stay:
# directory, then description, each quoted.
[ -f build/src/app/GAMES.TXT ] || printf '"%s/vc/","Demo Town (Vice City)"\r\n"%s/gta3/","Demo Town (GTA III)"\r\n' "$demo" "$demo" \
  > build/src/app/GAMES.TXT

exec build/src/app/quoxmapper
