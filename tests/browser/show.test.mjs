// A three-picture show written by pictova-cli plays in Ruffle: as the page of
// a final build (with the player files beside it, and the loading preloader
// in frame 1) and as a preview movie.
// Pictures: red 320 x 240 (hard cut), green 200 x 150 (slides in from the
// left), blue 100 x 80 (spins in), three seconds each at 20 frames per second.

import { test, before } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { mkdir, rm, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { promisify } from 'node:util';
import { useBrowser, PagePlayer, colourDelta, flatBmp } from './harness.mjs';

const run = promisify(execFile);
const session = useBrowser({ needsCli: true });
const { cli } = session;
const showDir = path.join(session.movieDir ?? '.', 'show');

const red = [255, 0, 0];
const green = [0, 255, 0];
const blue = [0, 0, 255];

before(async () => {
    await session.ready;
    await rm(showDir, { recursive: true, force: true });
    await mkdir(showDir, { recursive: true });
    await writeFile(path.join(showDir, 'red.bmp'), flatBmp(320, 240, red));
    await writeFile(path.join(showDir, 'green.bmp'), flatBmp(200, 150, green));
    await writeFile(path.join(showDir, 'blue.bmp'), flatBmp(100, 80, blue));
    const pictures = ['--duration', '3', '--effect', '1', 'red.bmp', '--effect', '3', 'green.bmp',
                      '--effect', '15', 'blue.bmp'];
    await run(cli, ['--yes', '-o', 'final/show.swf', ...pictures], { cwd: showDir });
    await run(cli, ['--yes', '--preview', '-o', 'preview.swf', ...pictures], { cwd: showDir });
});

// Frames: red 0-59; green slides 60-110 and stands 111-170; blue spins
// 171-246 and stands 247-306. Each state is looked for within a window well
// inside its phase (ms after the start) and must show there: a busy machine
// may draw a frame late, but never one phase for another.
const moments = [
    { from: 500, to: 2700, name: 'red stands', expect: [[[160, 120], red], [[5, 5], red]] },
    // Part-way through the slide the green picture covers the left edge but
    // its right edge is still short of where it will rest (x 260).
    { from: 3200, to: 5300, name: 'green slides in',
      expect: [[[10, 120], green], [[250, 120], red], [[300, 120], red]] },
    { from: 5800, to: 8300, name: 'green stands on red',
      expect: [[[160, 120], green], [[70, 120], green], [[30, 120], red], [[160, 20], red]] },
    { from: 12600, to: 15200, name: 'blue stands on green on red',
      expect: [[[160, 120], blue], [[90, 120], green], [[160, 60], green], [[30, 120], red]] },
];

async function watch(player, label) {
    const failures = [];
    for (const m of moments) {
        const wait = m.from - (Date.now() - player.started);
        if (wait > 0) await player.page.waitForTimeout(wait);
        let wrong;
        do {
            const at = Date.now() - player.started;
            const pixels = await player.pixels(m.expect.map((e) => e[0]), `show-${label}-${m.from}.png`);
            wrong = m.expect
                .map(([point, colour], i) => ({ point, colour, got: pixels[i] }))
                .filter((e) => colourDelta(e.got, e.colour) > 10)
                .map((e) => `${m.name} (${at} ms): at ${e.point} got ${e.got}, want ${e.colour}`);
        } while (wrong.length > 0 && Date.now() - player.started < m.to);
        failures.push(...wrong);
    }
    assert.deepEqual(failures, []);
    player.assertHealthy();
}

test('the page of a final build plays the show with its own player', async () => {
    const player = await PagePlayer.open(session.browser.context,
        `${session.server.origin}/movies/show/final/show.html`);
    try {
        assert.equal(player.metadata.width, 320);
        assert.equal(player.metadata.height, 240);
        assert.equal(player.metadata.numFrames, 1 + 307, 'the preloader frame, then the pictures');
        // The whole movie has arrived when it starts, so the preloader jumps
        // to frame 2 at once: red stands where the loading bar would be (its
        // middle at 160, 128) while the first picture's three seconds last. A
        // preloader stuck behind its Stop shows its grey frame and bar there
        // instead. A busy machine may start the movie late, so the first
        // thing drawn is waited for, and the show's moments count from it.
        const white = [255, 255, 255];
        let bar;
        do {
            [bar] = await player.pixels([[160, 128]], 'show-final-start.png');
        } while (colourDelta(bar, white) <= 10 && Date.now() - player.started < 15000);
        assert.ok(colourDelta(bar, red) <= 10, `red stands when the show starts: ${bar}`);
        player.started = Date.now();
        await watch(player, 'final');
        const foreign = player.requests.filter((url) => !url.startsWith(session.server.origin) && !url.startsWith('data:'));
        assert.deepEqual(foreign, [], 'the page needs nothing beyond its own folder');
        assert.ok(player.requests.some((url) => url.includes('/show/final/ruffle/')), 'the bundled player is used');
    } finally {
        await player.close();
    }
});

test('a preview movie plays the same show', async () => {
    const player = await session.play('show/preview.swf');
    player.started = Date.now();
    try {
        assert.equal(player.metadata.numFrames, 307);
        await watch(player, 'preview');
    } finally {
        await player.close();
    }
});
