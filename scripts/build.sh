#!/usr/bin/env bash
# Configures and builds into build/ (programs in build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DPICTOVA_WERROR=ON "$@" >/dev/null
cmake --build build -j "$(nproc)"
