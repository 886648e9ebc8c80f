// Sprites of the movie model in Ruffle: a sprite's own timeline animates
// while the main timeline stands, a sprite placement's enterFrame script runs
// on every frame, and the loading preloader holds a movie without frame 2
// with its bar full and its text at 100 %.

import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { startServer, launchBrowser, MoviePlayer, colourDelta } from './harness.mjs';

const movieDir = process.env.PICTOVA_MOVIES;
let server;
let browser;

const red = [255, 0, 0];
const green = [0, 255, 0];
const blue = [0, 0, 255];
const white = [255, 255, 255];
const grey = [178, 178, 178];

before(async () => {
    assert.ok(movieDir, 'PICTOVA_MOVIES names the folder of fixture movies');
    server = await startServer({ movieDir });
    browser = await launchBrowser();
});

after(async () => {
    await browser?.close();
    await server?.close();
});

test('a sprite animates its three frames and an enterFrame script runs on each', async () => {
    const player = await MoviePlayer.open(browser.context, server.origin, '/movies/sprites-timeline.swf');
    try {
        assert.equal(player.metadata.numFrames, 1);
        // Squares at x 0, 40 and 80 (40 px wide, y 10..50): one at a time.
        const points = [[20, 30], [60, 30], [100, 30]];
        const colours = [red, green, blue];
        const times = Array.from({ length: 16 }, (_, i) => 200 + i * 125);
        const seen = new Set();
        for (const { time, pixels } of await player.samplesAt(times, points)) {
            const shown = pixels.map((p, i) =>
                (colourDelta(p, colours[i]) <= 8 ? i : colourDelta(p, white) <= 8 ? -1 : -2));
            assert.ok(!shown.includes(-2), `at ${time} ms an unexpected colour: ${JSON.stringify(pixels)}`);
            const on = shown.filter((s) => s >= 0);
            assert.equal(on.length, 1, `at ${time} ms exactly one square shows: ${JSON.stringify(pixels)}`);
            seen.add(on[0]);
        }
        assert.deepEqual([...seen].sort(), [0, 1, 2], 'all three sprite frames were seen');

        // At 4 frames per second over about 2 s: the sprite's frames in order
        // and looping, and one enterFrame trace for each frame that passed.
        const traces = await player.traces();
        const frames = traces.filter((t) => t.startsWith('sprite frame'));
        const ticks = traces.filter((t) => t === 'enterFrame');
        assert.equal(frames.length + ticks.length, traces.length, traces.join(' | '));
        assert.ok(frames.length >= 6, traces.join(' | '));
        frames.forEach((t, i) => assert.equal(t, `sprite frame ${(i % 3) + 1}`, traces.join(' | ')));
        assert.ok(Math.abs(ticks.length - frames.length) <= 1,
            `enterFrame runs once per frame: ${traces.join(' | ')}`);
        player.assertHealthy();
    } finally {
        await player.close();
    }
});

// Ink (255 - luminance) of the stage, rows top to bottom.
async function stageInk(player, saveAs) {
    const png = await player.screenshot(saveAs);
    const { width, height } = player.metadata;
    const ink = await player.page.evaluate(async ({ b64, width, height }) => {
        const blob = await (await fetch(`data:image/png;base64,${b64}`)).blob();
        const bitmap = await createImageBitmap(blob);
        const canvas = new OffscreenCanvas(width, height);
        const ctx = canvas.getContext('2d');
        ctx.drawImage(bitmap, 0, 0);
        const data = ctx.getImageData(0, 0, width, height).data;
        const out = new Array(width * height);
        for (let i = 0; i < width * height; ++i)
            out[i] = 255 - Math.round(0.299 * data[4 * i] + 0.587 * data[4 * i + 1] + 0.114 * data[4 * i + 2]);
        return out;
    }, { b64: png.toString('base64'), width, height });
    return { ink, width, height };
}

// Columns and rows of the text's ink within the text box above the bar.
function textInk(img, layout) {
    let x0 = Infinity, x1 = -Infinity, y0 = Infinity, y1 = -Infinity, sum = 0;
    for (let y = layout.textTop; y < layout.barY - 2; ++y)
        for (let x = 0; x < img.width; ++x) {
            const v = img.ink[y * img.width + x];
            if (v < 96) continue;
            sum += v;
            x0 = Math.min(x0, x); x1 = Math.max(x1, x);
            y0 = Math.min(y0, y); y1 = Math.max(y1, y);
        }
    return { x0, x1, y0, y1, sum, width: x1 - x0 + 1 };
}

async function holdPreloader(movie) {
    const player = await MoviePlayer.open(browser.context, server.origin, `/movies/${movie}`);
    await player.page.waitForTimeout(1000);
    return player;
}

test('the preloader holds frame 1 with the bar full and "100% geladen" centred', async () => {
    const layout = JSON.parse(await readFile(path.join(movieDir, 'preloader.json'), 'utf8'));
    const { barX, barY, barW, barH, width } = layout;
    const running = await holdPreloader('preloader-hold.swf');
    let shown;
    try {
        assert.equal(running.metadata.numFrames, 1);
        assert.equal(running.metadata.width, layout.width);
        const midY = barY + barH / 2 - 1;
        // The bar fills its frame's inside from barX to barX + barW - 2; the
        // 2-pixel grey frame lies just outside it.
        const points = [
            [barX + 2, midY], [barX + barW / 2, midY], [barX + barW - 4, midY],
            [barX - 1, midY], [barX + barW - 1, midY],
            [barX + barW / 2, barY - 1], [barX + barW / 2, barY + barH - 1],
            [barX - 6, midY], [barX + barW + 4, midY],
        ];
        const [left, middle, right, frameL, frameR, frameT, frameB, outL, outR] =
            await running.pixels(points, 'preloader-hold.png');
        for (const [name, p] of [['left', left], ['middle', middle], ['right', right]]) {
            assert.ok(p[0] <= 16 && p[2] <= 16 && p[1] >= 110,
                `the bar's ${name} end is green: ${JSON.stringify(p)}`);
        }
        for (const [name, p] of [['left', frameL], ['right', frameR], ['top', frameT], ['bottom', frameB]])
            assert.ok(colourDelta(p, grey) <= 24, `the frame's ${name} edge is grey: ${JSON.stringify(p)}`);
        for (const p of [outL, outR]) assert.ok(colourDelta(p, white) <= 8, `white beside the bar: ${p}`);

        shown = textInk(await stageInk(running, 'preloader-hold-ink.png'), layout);
        assert.ok(shown.sum > 0, 'the text shows');
        const centre = (shown.x0 + shown.x1) / 2;
        assert.ok(Math.abs(centre - width / 2) <= 6, `the text is centred: ${JSON.stringify(shown)}`);
        assert.ok(shown.y0 >= layout.textTop && shown.y1 < barY, JSON.stringify(shown));
        running.assertHealthy();
    } finally {
        await running.close();
    }

    // The same preloader without its script keeps "0% geladen": the running
    // one's text is two digits wider.
    const still = await holdPreloader('preloader-still.swf');
    try {
        const initial = textInk(await stageInk(still, 'preloader-still-ink.png'), layout);
        assert.ok(initial.sum > 0);
        const wider = shown.width - initial.width;
        assert.ok(wider >= 8 && wider <= 20,
            `"100% geladen" is about two digits wider than "0% geladen": ${shown.width} vs ${initial.width}`);
        still.assertHealthy();
    } finally {
        await still.close();
    }
});
