// Ruffle runs our action records: its trace() output shows branches, Push
// values, a frame jump and clip actions as the scripts mean them.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useBrowser } from './harness.mjs';

const session = useBrowser();

// Plays a movie until it has traced `count` lines (or a few seconds passed).
async function tracesOf(movie, count, settleMs = 0) {
    const player = await session.play(movie);
    try {
        let traces = await player.tracesAfter(count, 8000);
        if (settleMs) {
            await player.page.waitForTimeout(settleMs);
            traces = await player.traces();
        }
        player.assertHealthy();
        return { traces, metadata: player.metadata };
    } finally {
        await player.close();
    }
}

test('a loop of forward If and backward Jump sums 1..10 in a function', async () => {
    const { traces } = await tracesOf('actions-branches.swf', 1, 300);
    assert.deepEqual(traces, ['sum=55']);
});

test('Push writes every value type as the player reads it', async () => {
    const { traces } = await tracesOf('actions-push.swf', 13, 200);
    assert.equal(traces.length, 13, traces.join(' | '));
    const [str, float, nul, undef, register, bool, d1, d2, d3, exact, int, c8, c16] = traces;
    assert.equal(str, 'str');
    assert.equal(Number(float), 0.5);
    assert.equal(nul, 'null');
    assert.equal(undef, 'undefined');
    assert.equal(register, '42');
    assert.equal(bool, 'true');
    // Doubles compared as numbers: the player's number formatting is inexact.
    assert.equal(Number(d1), 1.5);
    assert.equal(Number(d2), -2.75e10);
    assert.equal(Number(d3), 0.1);
    assert.equal(exact, 'true', '0.1 as pushed equals 1/10');
    assert.equal(int, '-123456');
    assert.equal(c8, 'alpha');
    assert.equal(c16, 'beta');
});

test('a frame-1 script goes to frame 2, whose script runs', async () => {
    const { traces, metadata } = await tracesOf('actions-goto.swf', 2, 300);
    assert.equal(metadata.numFrames, 2);
    assert.deepEqual(traces, ['frame 1', 'frame 2']);
});

for (const version of [5, 6]) {
    test(`clip actions of a sprite placement in SWF ${version}`, async () => {
        const { traces, metadata } = await tracesOf(`actions-clip${version}.swf`, 4, 500);
        assert.equal(metadata.swfVersion, version);
        const expected = new Set([`load ${version}`, `enterFrame ${version}`]);
        if (version >= 6) expected.add('init');
        for (const t of traces) assert.ok(expected.has(t), `unexpected trace "${t}"`);
        assert.equal(traces.filter((t) => t === `load ${version}`).length, 1, traces.join(' | '));
        assert.ok(traces.filter((t) => t === `enterFrame ${version}`).length >= 2,
            `enterFrame runs every frame: ${traces.join(' | ')}`);
        if (version >= 6) assert.equal(traces[0], 'init');
    });
}
