#!/usr/bin/env bash
# Fails when a file includes a layer above its own. The layers, lowest first:
#   logic, engine (core), engine/gui, art  <  session, ai  <  game  <  app
# Each line: a folder, then the folders its files must not include.
#   tools/check-layers.sh [project folder]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

rules=(
  "logic:engine/ session/ ai/ art/ game/ app/"
  "engine:logic/ engine/gui/ session/ ai/ art/ game/ app/"
  "engine/gui:logic/ session/ ai/ art/ game/ app/"
  "art:logic/ engine/ session/ ai/ game/ app/"
  "session:engine/gui/ ai/ art/ game/ app/"
  "ai:engine/ session/ art/ game/ app/"
  "game:app/"
)
status=0
for rule in "${rules[@]}"; do
  folder=${rule%%:*}
  for banned in ${rule#*:}; do
    # engine/ itself is checked without its gui/ folder, which has a rule of its own.
    depth=()
    [ "$folder" = engine ] && depth=(-maxdepth 1)
    while IFS= read -r hit; do
      echo "layer breach: $hit (a file in $folder/ includes $banned)"
      status=1
    done < <(find "$folder" "${depth[@]}" \( -name '*.h' -o -name '*.cpp' \) |
             xargs -r grep -Hn "^[[:space:]]*#[[:space:]]*include[[:space:]]*\"$banned" || true)
  done
done
exit $status
