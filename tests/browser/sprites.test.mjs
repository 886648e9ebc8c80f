// Sprites of the movie model in Ruffle: a sprite's own timeline animates
// while the main timeline stands, a sprite placement's enterFrame script runs
// on every frame, and the loading preloader holds a movie without frame 2
// with its bar full and its text at 100 %.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useBrowser, colourDelta, expectOneAtATime } from './harness.mjs';

const session = useBrowser();

const red = [255, 0, 0];
const green = [0, 255, 0];
const blue = [0, 0, 255];
const white = [255, 255, 255];
const grey = [178, 178, 178];

test('a sprite animates its three frames and an enterFrame script runs on each', async () => {
    const player = await session.play('sprites-timeline.swf');
    try {
        assert.equal(player.metadata.numFrames, 1);
        // Squares at x 0, 40 and 80 (40 px wide, y 10..50): one at a time.
        await expectOneAtATime(player, {
            points: [[20, 30], [60, 30], [100, 30]], colours: [red, green, blue], background: white,
            times: Array.from({ length: 16 }, (_, i) => 200 + i * 125),
        });

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
    const player = await session.play(movie);
    await player.page.waitForTimeout(1000);
    return player;
}

test('the preloader holds frame 1 with the bar full and "100% geladen" centred', async () => {
    const layout = await session.readJson('preloader.json');
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

        shown = textInk(await running.ink('preloader-hold-ink.png'), layout);
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
        const initial = textInk(await still.ink('preloader-still-ink.png'), layout);
        assert.ok(initial.sum > 0);
        const wider = shown.width - initial.width;
        assert.ok(wider >= 8 && wider <= 20,
            `"100% geladen" is about two digits wider than "0% geladen": ${shown.width} vs ${initial.width}`);
        still.assertHealthy();
    } finally {
        await still.close();
    }
});
