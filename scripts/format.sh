#!/usr/bin/env bash
# Checks (default) or applies (--fix) the committed .clang-format on every
# C++ source git tracks. The test command runs the check.
set -euo pipefail
cd "$(dirname "$0")/.."
fmt=$(command -v clang-format || command -v clang-format-14 || true)
[[ -n "$fmt" ]] || { echo "format: clang-format is not installed (scripts/setup.sh installs it)" >&2; exit 2; }
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == --fix ]]; then
    "$fmt" -i "${files[@]}"
else
    "$fmt" --dry-run -Werror "${files[@]}"
    echo "format: ${#files[@]} files follow .clang-format"
fi
