#!/usr/bin/env bash
# Remakes the four built-in music tracks in data/audio/ (our own pieces):
# composes them with scripts/music/compose.py (a small synthesiser in plain
# Python, deterministic), encodes each with lame as MPEG-1 Layer III at
# 44.1 kHz, 128 kbit/s constant bit rate, no ID3 tag, and stores it
# enciphered with the tracks' XOR key. Needs python3 and lame.
set -euo pipefail
cd "$(dirname "$0")/.."
command -v lame >/dev/null || { echo "make-music.sh needs lame (apt-get install lame)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# file stem, track file, title
tracks=(
    "step-out         K4R2T8N6D1  Step Out"
    "brightsunray     Q5L9V2C7H3  Brightsunray"
    "merry            B8F1Z6G4S2  Merry"
    "the-silent-river E2U7Y3O5X9  The Silent River"
)

python3 scripts/music/compose.py "$work"
mkdir -p data/audio
for entry in "${tracks[@]}"; do
    read -r stem file title <<<"$entry"
    lame --silent -b 128 -q 2 "$work/$stem.wav" "$work/$stem.mp3"
    python3 scripts/music/xor_cipher.py "$work/$stem.mp3" "data/audio/$file"
    echo "data/audio/$file: \"$title\", $(stat -c %s "data/audio/$file") bytes"
done
