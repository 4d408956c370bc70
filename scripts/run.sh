#!/usr/bin/env bash
# Installs what is missing, builds, writes the demo game (Vice City and GTA III forms) and
# shows what runs today on it: the command-line companion. The editor window comes with a
# later step; this script will then start it on the demo game.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target quoxmapper-cli

cli=build/src/cli/quoxmapper-cli
demo=build/demo
"$cli" demo-game "$demo/vc" --game vc
"$cli" demo-game "$demo/gta3" --game gta3
echo "Demo game written to $demo/vc (Vice City form) and $demo/gta3 (GTA III form)."

"$cli" dat "$demo/vc"
archive="$demo/vc/models/gta3.img"
"$cli" img list "$archive" | head -n 5
model=$("$cli" img list "$archive" | awk -F'\t' 'tolower($2) ~ /\.dff$/ { print $2; exit }')
"$cli" img extract "$archive" "$model" -d "$demo/extracted" > /dev/null
"$cli" dff info "$demo/extracted/$model"
"$cli" txd info "$demo/vc/models/generic.txd"
if [ "$#" -gt 0 ]; then
  "$cli" "$@"
fi
