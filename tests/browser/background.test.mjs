// A movie's SetBackgroundColor reaches the screen in Ruffle, plain and compressed.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useBrowser, colourDelta } from './harness.mjs';

const session = useBrowser();

for (const kind of ['fws', 'cws']) {
    test(`background colour of a ${kind.toUpperCase()} movie`, async () => {
        const player = await session.play(`background-${kind}.swf`);
        try {
            assert.equal(player.metadata.width, 200);
            assert.equal(player.metadata.height, 150);
            assert.equal(player.metadata.numFrames, 1);
            assert.equal(player.metadata.swfVersion, kind === 'cws' ? 6 : 5);
            const [{ pixels }] = await player.samplesAt([500], [[5, 5], [100, 75], [194, 144]],
                `background-${kind}`);
            for (const p of pixels)
                assert.ok(colourDelta(p, [0x12, 0x9A, 0xE4]) <= 2, `pixel ${p} is not the background`);
        } finally {
            await player.close();
        }
    });
}
