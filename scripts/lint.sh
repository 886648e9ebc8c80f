#!/usr/bin/env bash
# Runs clang-tidy (rules in .clang-tidy) over the program sources, using the
# compile commands of build/ (made by scripts/build.sh). Arguments narrow it
# to some files: scripts/lint.sh swf/BitsEngine.cpp
set -euo pipefail
cd "$(dirname "$0")/.."
tidy=$(command -v clang-tidy || command -v clang-tidy-14 || true)
[[ -n "$tidy" ]] || { echo "lint: clang-tidy is not installed (scripts/setup.sh installs it)" >&2; exit 2; }
[[ -f build/compile_commands.json ]] || scripts/build.sh
if (($#)); then
    files=("$@")
else
    mapfile -t files < <(git ls-files 'platform/*.cpp' 'swf/*.cpp' 'media/*.cpp' 'movie/*.cpp' \
        'show/*.cpp' 'app/*.cpp' 'cli/*.cpp' 'desktop/*.cpp')
fi
printf '%s\n' "${files[@]}" | xargs -P "$(nproc)" -n 4 "$tidy" -p build --quiet
