#!/usr/bin/env bash
# Sets up, builds and runs every test (unit and browser tests) through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)"
