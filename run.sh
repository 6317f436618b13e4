#!/usr/bin/env bash
# Installs the dependencies, builds, starts four simulated programmer units on pseudo-terminals
# (dravonsim, which lists them in ConfigDqg.ini in the program's folder) and starts the program,
# which finds them. Closing the program stops the units.
#   DRAVONPROG_EDITION=zh ./run.sh     the Chinese edition
#   DRAVONPROG_REAL_PORTS=1 ./run.sh   no simulator: the program looks for real programmers
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
folder=build/default/src/ui
program=$folder/dravonprog
if [ "${DRAVONPROG_EDITION:-en}" = "zh" ]; then program=$folder/dravonprog-zh; fi
if [ "${DRAVONPROG_REAL_PORTS:-0}" != "1" ]; then
  build/default/sim/dravonsim --units 4 --pace --dir "$folder" &
  sim=$!
  trap 'kill "$sim" 2>/dev/null; rm -f "$folder/ConfigDqg.ini"' EXIT
  for _ in $(seq 50); do [ -f "$folder/ConfigDqg.ini" ] && break; sleep 0.1; done
else
  rm -f "$folder/ConfigDqg.ini"
fi
"$program" "$@"
