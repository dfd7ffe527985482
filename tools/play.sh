#!/usr/bin/env bash
# Installs what the game needs, builds the game alone, and starts it. Any
# arguments go to the game (for example the name of a saved game to open).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
exec ./build/bin/turrion "$@"
