#!/usr/bin/env bash
# Remakes the sample pictures in samples/ (our own, drawn by ffmpeg's
# generators): the bundled default the demo turns into a show.
set -euo pipefail
cd "$(dirname "$0")/../samples"
ff() { ffmpeg -loglevel error -y "$@"; }
ff -f lavfi -i "mandelbrot=size=800x600:start_scale=2.5:inner=convergence" -frames 1 -q:v 3 mandelbrot.jpg
ff -f lavfi -i "gradients=size=640x480:c0=0x1e3c72:c1=0xf0a830:c2=0x2a9d8f:n=3:seed=7" -frames 1 dusk.png
ff -f lavfi -i "cellauto=size=480x360:rule=110:scroll=0:start_full=1" -frames 1 -vf "format=rgb24,colorchannelmixer=rr=0.2:gg=0.6:bb=0.9" -pix_fmt bgr24 rule110.bmp
ff -f lavfi -i "life=size=320x240:mold=10:ratio=0.5:death_color=#203040:life_color=#f0e060" -frames 1 -vf "scale=640:480:flags=neighbor" life.png
ff -f lavfi -i "mandelbrot=size=600x400:start_x=-0.75:start_y=0.1:start_scale=0.2:inner=period" -frames 1 -q:v 3 seahorse.jpg
