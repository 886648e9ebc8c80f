// Buttons react to real mouse input in Ruffle, and a sprite plays its own
// timeline: colours at known points before and after, and trace() output.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { useBrowser, expectColours, expectOneAtATime } from './harness.mjs';

const session = useBrowser();

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

test('DefineButton2: pressing and releasing run their condition actions', async () => {
    const player = await session.play('buttons-button2.swf');
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
        assert.deepEqual(await player.tracesAfter(1), ['press']);
        await player.page.waitForTimeout(150);
        await expectColours(player, [['indicator after the press', indicator, green]],
            'buttons-button2-pressed.png');

        await player.page.mouse.up();
        assert.deepEqual(await player.tracesAfter(2), ['press', 'release']);
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
    const player = await session.play('buttons-button1.swf');
    try {
        await player.page.waitForTimeout(300);
        await expectColours(player, [
            ['indicator', indicator, red],
            ['tinted button', buttonCentre, orange],
        ], 'buttons-button1-start.png');

        await player.page.mouse.click(...buttonCentre);
        assert.deepEqual(await player.tracesAfter(1), ['clicked']);
        await player.page.waitForTimeout(150);
        await expectColours(player, [['indicator after the click', indicator, green]],
            'buttons-button1-clicked.png');
        player.assertHealthy();
    } finally {
        await player.close();
    }
});

test('a sprite plays its three frames on a one-frame main timeline', async () => {
    const player = await session.play('buttons-sprite.swf');
    try {
        assert.equal(player.metadata.numFrames, 1);
        // Squares at x 0, 40 and 80 (40 px wide, y 10..50): one at a time.
        await expectOneAtATime(player, {
            points: [[20, 30], [60, 30], [100, 30]], colours: [red, green, blue], background: white,
            times: Array.from({ length: 16 }, (_, i) => 200 + i * 125),
        });

        // The sprite's frames run in order and loop.
        const traces = await player.traces();
        assert.ok(traces.length >= 4, traces.join(' | '));
        traces.forEach((t, i) => assert.equal(t, `sprite frame ${(i % 3) + 1}`, traces.join(' | ')));
        player.assertHealthy();
    } finally {
        await player.close();
    }
});
