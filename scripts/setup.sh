#!/usr/bin/env bash
# Installs what building, running and testing Pictova needs on Debian 12.
# Idempotent and non-interactive; run as root (or with sudo available).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    build-essential cmake pkg-config
    ccache                        # quick rebuilds of unchanged sources
    clang-format clang-tidy       # the format check of the tests, scripts/lint.sh
    zlib1g-dev libjpeg-dev libpng-dev libfreetype-dev libfontconfig-dev
    fonts-dejavu-core  # DejaVu Sans: the face used when a font is not installed
    fonts-wine         # a Tahoma with Tahoma's metrics, the main window's font
    fonts-cantarell    # a CFF (cubic) face for the glyph reader's tests
    googletest libgtest-dev
    openssl          # independent MD5-crypt for the password-hash test
    chromium         # browser tests play movies in Ruffle inside it
    ffmpeg           # independent reader of the bitmaps and sound in movies
    # the desktop program
    qt6-base-dev qt6-webengine-dev qt6-multimedia-dev libgl-dev
    qt6-image-formats-plugins  # GIF and TIFF in the picture preview
    qt6-qpa-plugins            # the offscreen platform of the window tests
    gstreamer1.0-plugins-good  # MP3 and WAV for Qt Multimedia
    xvfb xauth                 # a display for the end-to-end run and its screenshots
)
command -v node >/dev/null 2>&1 || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -q
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# npm packages go into the repository's own node_modules, exactly as locked.
stamp=node_modules/.pictova-lock.sha256
want=$(sha256sum package-lock.json | cut -d' ' -f1)
if [[ ! -f "$stamp" || "$(cat "$stamp")" != "$want" ]]; then
    echo "setup: installing npm packages"
    npm ci --no-audit --no-fund --loglevel=error
    echo "$want" > "$stamp"
fi
