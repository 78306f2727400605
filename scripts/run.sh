#!/bin/bash
# Builds Zorvan and starts it. Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh run
cmake --preset default >/dev/null
cmake --build --preset default --target zorvan
exec build/default/src/app/zorvan "$@"
