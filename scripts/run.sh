#!/usr/bin/env bash
# Installs what is missing, builds the program alone (the tests and benchmarks are
# scripts/test.sh's business) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh --program
cmake --preset default
cmake --build --preset default --target vadazaz
exec ./build/src/app/vadazaz "$@"
