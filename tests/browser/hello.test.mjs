// The example program, built by install.consume against the installed library
// (once through the CMake package, once through pkg-config), writes movies that
// Ruffle plays: a red 160 x 120 rectangle at the origin and a blue 100 x 80
// picture at (170, 130), on white.

import { test, before } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { mkdir, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { promisify } from 'node:util';
import { useBrowser, expectColours, flatBmp } from './harness.mjs';

const run = promisify(execFile);
const session = useBrowser();
const bin = process.env.PICTOVA_HELLO_BIN;
const folder = path.join(session.movieDir ?? '.', 'hello');
const programs = ['hello-movie', 'hello-movie-pkgconfig'];

before(async () => {
    assert.ok(bin, 'PICTOVA_HELLO_BIN names the folder of the example programs');
    await mkdir(folder, { recursive: true });
    const picture = path.join(folder, 'blue.bmp');
    await writeFile(picture, flatBmp(100, 80, [0, 0, 255]));
    for (const program of programs)
        await run(path.join(bin, program), [path.join(folder, `${program}.swf`), picture]);
});

for (const program of programs) {
    test(`${program} writes a movie with its rectangle and picture`, async () => {
        const player = await session.play(`hello/${program}.swf`);
        try {
            assert.equal(player.metadata.width, 320);
            assert.equal(player.metadata.height, 240);
            await expectColours(player, [
                ['rectangle', [80, 60], [255, 0, 0]],
                ['picture', [220, 170], [0, 0, 255]],
                ['between them', [165, 125], [255, 255, 255]],
                ['beyond the picture', [300, 225], [255, 255, 255]],
            ], `${program}.png`);
            player.assertHealthy();
        } finally {
            await player.close();
        }
    });
}
