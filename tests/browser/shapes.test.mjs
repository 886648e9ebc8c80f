// Shapes, morph shapes and glyph texts written by our shape, font and text
// tags, drawn by Ruffle: colours at known points inside and outside.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useBrowser, expectColours } from './harness.mjs';

const session = useBrowser();

const white = [255, 255, 255];
const red = [255, 0, 0];
const blue = [0, 0, 255];
const green = [0, 128, 0];
const black = [0, 0, 0];

// expectations: [name, [x, y], colour, tolerance]
async function checkMovie(file, size, expectations) {
    const player = await session.play(file);
    try {
        assert.equal(player.metadata.width, size[0]);
        assert.equal(player.metadata.height, size[1]);
        await player.page.waitForTimeout(500);
        await expectColours(player, expectations, file.replace('.swf', '-500.png'));
        player.assertHealthy();
    } finally {
        await player.close();
    }
}

test('solid fills, a 4-px line, straight and curved edges', async () => {
    // Rectangle (40..140, 30..90) with its outline centred on the edge
    // (38..42 on the left side); triangle (150, 100)-(190, 100)-(150, 140);
    // "D" from (20, 100) to (20, 140), bulging to x 40 at y 120.
    await checkMovie('shapes-solid.swf', [200, 150], [
        ['rectangle inside', [90, 60], red],
        ['rectangle near its corner', [45, 35], red],
        ['left outline', [40, 60], blue],
        ['top outline', [90, 30], blue],
        ['right outline', [140, 60], blue],
        ['bottom outline', [90, 90], blue],
        ['left of the outline', [35, 60], white],
        ['above the outline', [90, 25], white],
        ['triangle inside', [156, 106], green],
        ['beyond the hypotenuse', [180, 130], white],
        ['D inside at mid-height', [30, 120], [255, 128, 0]],
        ['D near its top', [23, 105], [255, 128, 0]],
        ['outside the D curve near its top', [33, 105], white],
        ['right of the D', [45, 120], white],
        ['stage corner', [5, 5], white],
    ]);
});

test('linear gradient runs from red to blue', async () => {
    await checkMovie('shapes-gradient.swf', [200, 100], [
        ['left end', [2, 50], red, 16],
        ['middle', [100, 50], [128, 0, 128], 20],
        ['right end', [197, 50], blue, 16],
        ['quarter', [50, 20], [191, 0, 64], 20],
    ]);
});

test('morph shape at ratios 0, one half and 1', async () => {
    // Start square at x 0..40, end square at x 80..120; placed at y 10, 60, 110.
    await checkMovie('shapes-morph.swf', [140, 160], [
        ['ratio 0 inside', [20, 30], red],
        ['ratio 0 beyond', [60, 30], white],
        ['ratio 0 outline', [40, 30], green, 30],
        ['half inside', [60, 80], [128, 0, 128], 12],
        ['half left of it', [20, 80], white],
        ['half right of it', [100, 80], white],
        ['ratio 1 inside', [100, 130], blue],
        ['ratio 1 left of it', [60, 130], white],
        ['ratio 1 outline', [80, 130], green, 30],
    ]);
});

test('glyphs of DefineFont2 and DefineFont drawn by static texts', async () => {
    // "AB" at 64 px from x 20, baseline 80: square 28..76 x 24..72, triangle
    // base 92..140 at y 72 with its apex at (116, 24).
    // Blue "A" at 20 px after 255 spaces: square 124.5..139.5 x 122.5..137.5.
    // Green "A" of the DefineFont at 20 px: square 202.5..217.5 x 122.5..137.5.
    await checkMovie('fonts-text.swf', [300, 160], [
        ['square glyph', [52, 48], black],
        ['square glyph corner', [30, 26], black],
        ['left of the square', [25, 48], white],
        ['above the square', [52, 20], white],
        ['between the glyphs', [84, 48], white],
        ['triangle glyph', [116, 60], black],
        ['beside the triangle apex', [100, 32], white],
        ['right of the triangle', [135, 35], white],
        ['below the baseline', [116, 76], white],
        ['glyph after 255 spaces', [132, 130], blue],
        ['no glyph where the pen started', [27, 130], white],
        ['no glyph before the run ends', [115, 130], white],
        ['DefineFont glyph', [210, 130], green],
        ['right of the DefineFont glyph', [222, 130], white],
    ]);
});
