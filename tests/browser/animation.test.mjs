// Placements and frame scripts as Ruffle plays them: a rectangle that moves,
// scales, rotates and fades stands where its matrices say at the frames
// where it stops, and a script with a forward If and a backward Jump sends
// the timeline to the frame of the colour it computed.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useBrowser, colourDelta } from './harness.mjs';

const session = useBrowser();

async function waitForTrace(player, text) {
    const deadline = Date.now() + 10000;
    for (;;) {
        const traces = await player.traces();
        if (traces.includes(text)) return traces;
        if (Date.now() > deadline) throw new Error(`no trace "${text}": ${traces.join(' | ')}`);
        await player.page.waitForTimeout(50);
    }
}

// The animation as defined for step i (frame i + 1): an 80 x 20 rectangle
// centred on (60 + 7i, 60 + 4i), scaled by 0.5 + i/39, turned 3i degrees
// counter-clockwise, over white with alpha (255 - 5 (39 - i)) / 255.
function step(i) {
    const s = 0.5 + i / 39;
    const theta = (3 * i * Math.PI) / 180;
    const alpha = (255 - 5 * (39 - i)) / 255;
    const faded = Math.round(255 * (1 - alpha));
    return {
        cx: 60 + 7 * i, cy: 60 + 4 * i, halfLong: 40 * s, halfShort: 10 * s,
        // Unit vectors of the rectangle's long and short axes on screen (y down).
        u: [Math.cos(theta), -Math.sin(theta)], v: [Math.sin(theta), Math.cos(theta)],
        inside: [255, faded, faded],
    };
}

for (const frame of [1, 14, 27, 40]) {
    test(`the animated rectangle at frame ${frame} stands where its matrix says`, async () => {
        const player = await session.play(`animation-${frame}.swf`);
        try {
            assert.equal(player.metadata.numFrames, 40);
            await waitForTrace(player, `frame ${frame}`);
            await player.page.waitForTimeout(300);
            const g = step(frame - 1);
            const at = (along, across) => [
                Math.round(g.cx + along * g.u[0] + across * g.v[0]),
                Math.round(g.cy + along * g.u[1] + across * g.v[1]),
            ];
            const inside = [at(0, 0), at(0.75 * g.halfLong, 0), at(-0.75 * g.halfLong, 0),
                at(0.6 * g.halfLong, 0.5 * g.halfShort), at(-0.6 * g.halfLong, -0.5 * g.halfShort)];
            const outside = [at(g.halfLong + 6, 0), at(-g.halfLong - 6, 0),
                at(0, g.halfShort + 6), at(0, -g.halfShort - 6),
                at(0.75 * g.halfLong, g.halfShort + 6)];
            const pixels = await player.pixels([...inside, ...outside], `animation-${frame}.png`);
            const report = [];
            pixels.forEach((p, k) => {
                const [want, where] = k < inside.length
                    ? [g.inside, `inside ${inside[k]}`]
                    : [[255, 255, 255], `outside ${outside[k - inside.length]}`];
                if (colourDelta(p, want) > 8) report.push(`${where}: ${p}, expected ${want}`);
            });
            assert.deepEqual(report, []);
            // Held: the Stop keeps the frame.
            const [again] = await player.pixels([inside[0]]);
            assert.ok(colourDelta(again, g.inside) <= 8, `still ${g.inside}: ${again}`);
            player.assertHealthy();
        } finally {
            await player.close();
        }
    });
}

test('a frame script loops, branches and goes to the frame it computed', async () => {
    const player = await session.play('framescript.swf');
    try {
        assert.equal(player.metadata.numFrames, 8);
        const traces = await waitForTrace(player, '6');
        assert.deepEqual(traces, ['6'], '1 + 2 + 3');
        await player.page.waitForTimeout(400);
        const [first] = await player.pixels([[60, 45]], 'framescript.png');
        // Frame 6's colour; frame 8 (the end without the jump) is pink.
        assert.ok(colourDelta(first, [160, 0, 160]) <= 3, `frame 6 colour: ${first}`);
        await player.page.waitForTimeout(400);
        const [later] = await player.pixels([[60, 45]]);
        assert.ok(colourDelta(later, [160, 0, 160]) <= 3, `held at frame 6: ${later}`);
        player.assertHealthy();
    } finally {
        await player.close();
    }
});
