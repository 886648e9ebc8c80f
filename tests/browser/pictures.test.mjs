// Pictures of every kind, written as image characters, drawn by Ruffle with
// the colours of independent decodings of the same files.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useBrowser, colourDelta } from './harness.mjs';

const session = useBrowser();

// A GPU renderer: it reads lossless bitmaps with alpha as premultiplied, as
// the format defines them.
const config = { preferredRenderer: 'webgl' };

test('every kind of picture shows its own pixels', async () => {
    const manifest = await session.readJson('pictures.json');
    const player = await session.play('pictures.swf', config);
    try {
        assert.equal(player.metadata.width, manifest.width);
        const points = [];
        for (const p of manifest.pictures)
            for (let y = 0; y < p.height; ++y)
                for (let x = 0; x < p.width; ++x) points.push([p.x + x, p.y + y]);
        await player.page.waitForTimeout(500);
        const pixels = await player.pixels(points, 'pictures.png');
        const report = [];
        let k = 0;
        for (const p of manifest.pictures) {
            let worst = 0;
            let total = 0;
            for (let i = 0; i < p.width * p.height; ++i, ++k) {
                const d = colourDelta(pixels[k], p.rgb.slice(3 * i, 3 * i + 3));
                worst = Math.max(worst, d);
                total += d;
            }
            const mean = total / (p.width * p.height);
            // JPEG decoders differ a little in their arithmetic; lossless
            // pictures must come out as stored.
            if (worst > p.tolerance || mean > Math.max(1, p.tolerance / 8))
                report.push(`${p.name}: largest difference ${worst}, mean ${mean.toFixed(2)}`);
        }
        assert.deepEqual(report, []);
        player.assertHealthy();
    } finally {
        await player.close();
    }
});

for (const angle of [0, 90]) {
    test(`linear gradient at ${angle} degrees with a 2-pixel outline`, async () => {
        const player = await session.play(`gradient-${angle}.swf`, config);
        try {
            // Rectangle (20..220, 20..140); the outline is centred on its edge.
            const [first, last, middle, outline, outside] = await player.pixels(
                angle === 0 ? [[30, 80], [210, 80], [120, 80], [20, 80], [10, 80]]
                            : [[120, 130], [120, 30], [120, 80], [120, 20], [120, 10]],
                `gradient-${angle}.png`);
            // At 0 degrees red runs to blue from left to right; at 90 the first
            // colour is at the bottom.
            assert.ok(first[0] > 200 && first[2] < 60, `first colour end is red: ${first}`);
            assert.ok(last[2] > 200 && last[0] < 60, `last colour end is blue: ${last}`);
            assert.ok(Math.abs(middle[0] - middle[2]) < 40 && middle[0] > 80, `midway purple: ${middle}`);
            assert.ok(colourDelta(outline, [0, 0, 0]) < 40, `outline black: ${outline}`);
            assert.ok(colourDelta(outside, [255, 255, 255]) < 4, `outside white: ${outside}`);
            player.assertHealthy();
        } finally {
            await player.close();
        }
    });
}
