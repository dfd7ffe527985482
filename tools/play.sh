#!/usr/bin/env bash
# Sets everything up and starts the game. Any arguments go to the game (for
# example the name of a saved game to open).
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
exec ./build/bin/turrion "$@"
