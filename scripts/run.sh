#!/usr/bin/env bash
# Installs what is missing, builds Vadazaz and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset default
cmake --build --preset default
exec ./build/src/app/vadazaz "$@"
