#!/usr/bin/env bash
# Installs the dependencies, builds the program and starts it.
# DRAVONPROG_EDITION=zh starts the Chinese edition instead of the English one.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake --preset default
cmake --build --preset default
program=build/default/src/ui/dravonprog
if [ "${DRAVONPROG_EDITION:-en}" = "zh" ]; then program=build/default/src/ui/dravonprog-zh; fi
exec "$program" "$@"
