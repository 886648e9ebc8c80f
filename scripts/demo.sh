#!/usr/bin/env bash
# Sets up, builds and runs the main job on the bundled default: the sample
# pictures in samples/ become a show (movie, page and player) in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
build/bin/pictova-cli --yes --seed 2026 -o out/show.swf \
    --duration 3 --effect 2 samples/mandelbrot.jpg \
    --effect 3 samples/dusk.png \
    --effect 15 samples/rule110.bmp \
    --effect 9 samples/life.png \
    --effect 0 samples/seahorse.jpg
cat <<'TEXT'

The show is out/show.html (with out/show.swf and the player in out/ruffle/).
Browsers do not start the player from a file:// page; serve the folder, e.g.
    python3 -m http.server --bind 127.0.0.1 --directory out 8000
and open http://127.0.0.1:8000/show.html, or let pictova-cli serve it:
    build/bin/pictova-cli --yes --serve -o out/show.swf samples/*.jpg
TEXT
