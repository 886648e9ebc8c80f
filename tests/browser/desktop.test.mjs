// The desktop program end to end: its session test (tests/desktop, the real
// window, players and build, run under Xvfb when it is there) writes a show,
// whose page then plays in Ruffle in headless Chromium. The session's
// screenshots of the three tabs stay in the build's desktop-artifacts folder.

import { test, before } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import path from 'node:path';
import { promisify } from 'node:util';
import { useBrowser, PagePlayer, colourDelta } from './harness.mjs';

const run = promisify(execFile);
const session = useBrowser();
const desktopTests = process.env.PICTOVA_DESKTOP_TESTS;
const artifacts = process.env.PICTOVA_DESKTOP_ARTIFACTS;

before(async () => {
    await session.ready;
    assert.ok(desktopTests && artifacts, 'PICTOVA_DESKTOP_TESTS and PICTOVA_DESKTOP_ARTIFACTS are set');
    const xvfb = ['/usr/bin/xvfb-run'].find(existsSync);
    const sessionTest = [desktopTests, '--gtest_filter=EndToEnd.*'];
    const env = { ...process.env, QTWEBENGINE_DISABLE_SANDBOX: '1',
                  PICTOVA_E2E_OUT: path.join(session.movieDir, 'desktop'),
                  PICTOVA_DESKTOP_ARTIFACTS: path.join(artifacts, xvfb ? 'xvfb' : 'offscreen'),
                  QT_QPA_PLATFORM: xvfb ? 'xcb' : 'offscreen' };
    const [command, ...args] = xvfb ? [xvfb, '-a', '-s', '-screen 0 1024x768x24', ...sessionTest]
                                    : sessionTest;
    try {
        await run(command, args, { env, timeout: 300000 });
    } catch (e) {
        assert.fail(`the desktop session failed:\n${e.stdout}\n${e.stderr}`);
    }
});

// Samples the stage's middle until it shows `colour` or `until` ms have
// passed since the start.
async function waitForColour(player, colour, until, saveAs) {
    let pixel;
    do {
        [pixel] = await player.pixels([[160, 120]], saveAs);
    } while (colourDelta(pixel, colour) > 12 && Date.now() - player.started < until);
    return pixel;
}

test('the show the desktop program created plays from its page', async () => {
    const player = await PagePlayer.open(session.browser.context,
        `${session.server.origin}/movies/desktop/show.html`);
    try {
        assert.equal(player.metadata.width, 320);
        assert.equal(player.metadata.height, 240);
        assert.equal(player.metadata.numFrames, 1 + 60 + 51 + 60, 'preloader, red, blue slides in');
        // Red stands for its three seconds, then blue slides over it and
        // stands from 5.6 s to 8.6 s.
        const red = [230, 20, 20];
        const blue = [20, 20, 230];
        const first = await waitForColour(player, red, 2500, 'desktop-red.png');
        assert.ok(colourDelta(first, red) <= 12, `the red picture stands first: ${first}`);
        const last = await waitForColour(player, blue, 8000, 'desktop-blue.png');
        assert.ok(colourDelta(last, blue) <= 12, `the blue picture stands last: ${last}`);
        player.assertHealthy();
    } finally {
        await player.close();
    }
});
