#!/usr/bin/env bash
# Configures and builds into build/ (programs in build/bin), or into
# $PICTOVA_BUILD_DIR; further arguments go to the configure step. Uses ccache
# when it is installed, so rebuilds of an unchanged tree are quick.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${PICTOVA_BUILD_DIR:-build}
launcher=()
if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
cmake -S . -B "$dir" -DPICTOVA_WERROR=ON "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
