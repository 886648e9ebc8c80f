#!/usr/bin/env bash
# Redraws the desktop program's pictures into data/artwork. The captions are
# set in Tahoma (Debian's fonts-wine, the window's font) when it is there.
set -euo pipefail
cd "$(dirname "$0")/../.."

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Qt is built with -reduce-relocations, so the program must be position independent.
g++ -std=c++20 -O1 -fPIC -Wall -Wextra -I. -o "$work/DrawArtwork" scripts/artwork/DrawArtwork.cpp \
    $(pkg-config --cflags --libs Qt6Gui)
QT_QPA_PLATFORM=offscreen "$work/DrawArtwork" data/artwork /usr/share/wine/fonts
ls -l data/artwork
