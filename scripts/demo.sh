#!/usr/bin/env bash
# Sets up, builds and runs the main job on the bundled default.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build/bin/pictova-cli --demo out/demo.swf
