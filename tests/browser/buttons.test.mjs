// Buttons react to real mouse input in Ruffle, and a sprite plays its own
// timeline: colours at known points before and after, and trace() output.

import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { startServer, launchBrowser, MoviePlayer, colourDelta } from './harness.mjs';

const movieDir = process.env.PICTOVA_MOVIES;
let server;
let browser;

before(async () => {
    assert.ok(movieDir, 'PICTOVA_MOVIES names the folder of fixture movies');
    server = await startServer({ movieDir });
    browser = await launchBrowser();
});

after(async () => {
    await browser?.close();
    await server?.close();
});

const white = [255, 255, 255];
const red = [255, 0, 0];
const green = [0, 128, 0];
const blue = [0, 0, 255];
const grey = [128, 128, 128];
const orange = [255, 128, 0];

// The indicator square at the top-left corner and the button's centre.
const indicator = [20, 20];
const buttonCentre = [130, 50];
const besideButton = [60, 80];

async function open(movie) {
    return MoviePlayer.open(browser.context, server.origin, `/movies/${movie}`);
}

// Waits until the movie has traced `count` lines (or 5 s passed).
async function tracesAfter(player, count) {
    const deadline = Date.now() + 5000;
    let traces = await player.traces();
    while (traces.length < count && Date.now() < deadline) {
        await player.page.waitForTimeout(50);
        traces = await player.traces();
    }
    return traces;
}

async function expectColours(player, expectations, saveAs) {
    const pixels = await player.pixels(expectations.map((e) => e[1]), saveAs);
    const wrong = expectations
        .map(([name, point, colour], i) => ({ name, point, colour, got: pixels[i] }))
        .filter((e) => colourDelta(e.got, e.colour) > 8)
        .map((e) => `${e.name} at ${e.point}: got ${e.got}, want ${e.colour}`);
    assert.deepEqual(wrong, []);
}

test('DefineButton2: pressing and releasing run their condition actions', async () => {
    const player = await open('buttons-button2.swf');
    try {
        await player.page.waitForTimeout(300);
        await expectColours(player, [
            ['indicator', indicator, red],
            ['button', buttonCentre, grey],
            ['beside the button', besideButton, white],
        ], 'buttons-button2-start.png');

        // A click beside the button hits nothing.
        await player.page.mouse.click(...besideButton);
        await player.page.waitForTimeout(300);
        assert.deepEqual(await player.traces(), []);

        await player.page.mouse.move(...buttonCentre);
        await player.page.mouse.down();
        assert.deepEqual(await tracesAfter(player, 1), ['press']);
        await player.page.waitForTimeout(150);
        await expectColours(player, [['indicator after the press', indicator, green]],
            'buttons-button2-pressed.png');

        await player.page.mouse.up();
        assert.deepEqual(await tracesAfter(player, 2), ['press', 'release']);
        await player.page.waitForTimeout(150);
        await expectColours(player, [
            ['indicator after the release', indicator, blue],
            ['button', buttonCentre, grey],
        ], 'buttons-button2-released.png');
        player.assertHealthy();
    } finally {
        await player.close();
    }
});

test('DefineButton: a click runs its actions; DefineButtonCxform tints it', async () => {
    const player = await open('buttons-button1.swf');
    try {
        await player.page.waitForTimeout(300);
        await expectColours(player, [
            ['indicator', indicator, red],
            ['tinted button', buttonCentre, orange],
        ], 'buttons-button1-start.png');

        await player.page.mouse.click(...buttonCentre);
        assert.deepEqual(await tracesAfter(player, 1), ['clicked']);
        await player.page.waitForTimeout(150);
        await expectColours(player, [['indicator after the click', indicator, green]],
            'buttons-button1-clicked.png');
        player.assertHealthy();
    } finally {
        await player.close();
    }
});

test('a sprite plays its three frames on a one-frame main timeline', async () => {
    const player = await open('buttons-sprite.swf');
    try {
        assert.equal(player.metadata.numFrames, 1);
        // Squares at x 0, 40 and 80 (40 px wide, y 10..50): one at a time.
        const points = [[20, 30], [60, 30], [100, 30]];
        const colours = [red, green, blue];
        const times = Array.from({ length: 16 }, (_, i) => 200 + i * 125);
        const seen = new Set();
        for (const { time, pixels } of await player.samplesAt(times, points)) {
            const shown = pixels
                .map((p, i) => (colourDelta(p, colours[i]) <= 8 ? i : colourDelta(p, white) <= 8 ? -1 : -2));
            assert.ok(!shown.includes(-2), `at ${time} ms an unexpected colour: ${JSON.stringify(pixels)}`);
            const on = shown.filter((s) => s >= 0);
            assert.equal(on.length, 1, `at ${time} ms exactly one square shows: ${JSON.stringify(pixels)}`);
            seen.add(on[0]);
        }
        assert.deepEqual([...seen].sort(), [0, 1, 2], 'all three sprite frames were seen');

        // The sprite's frames run in order and loop.
        const traces = await player.traces();
        assert.ok(traces.length >= 4, traces.join(' | '));
        traces.forEach((t, i) => assert.equal(t, `sprite frame ${(i % 3) + 1}`, traces.join(' | ')));
        player.assertHealthy();
    } finally {
        await player.close();
    }
});
