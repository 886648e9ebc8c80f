// The desktop program end to end: its session test (tests/desktop, the real
// window, players and build, run under Xvfb when it is there) writes a show,
// whose page then plays in Ruffle in headless Chromium. The session's
// screenshots of the three tabs stay in the build's desktop-artifacts folder.

import { test, before, after } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import path from 'node:path';
import { promisify } from 'node:util';
import { startServer, launchBrowser, PagePlayer, colourDelta } from './harness.mjs';

const run = promisify(execFile);
const movieDir = process.env.PICTOVA_MOVIES;
const desktopTests = process.env.PICTOVA_DESKTOP_TESTS;
const artifacts = process.env.PICTOVA_DESKTOP_ARTIFACTS;
const outDir = path.join(movieDir ?? '.', 'desktop');
let server;
let browser;

before(async () => {
    assert.ok(movieDir && desktopTests && artifacts,
              'PICTOVA_MOVIES, PICTOVA_DESKTOP_TESTS and PICTOVA_DESKTOP_ARTIFACTS are set');
    const xvfb = ['/usr/bin/xvfb-run'].find(existsSync);
    const session = [desktopTests, '--gtest_filter=EndToEnd.*'];
    const env = { ...process.env, PICTOVA_E2E_OUT: outDir, QTWEBENGINE_DISABLE_SANDBOX: '1',
                  PICTOVA_DESKTOP_ARTIFACTS: path.join(artifacts, xvfb ? 'xvfb' : 'offscreen'),
                  QT_QPA_PLATFORM: xvfb ? 'xcb' : 'offscreen' };
    const [command, ...args] = xvfb ? [xvfb, '-a', '-s', '-screen 0 1024x768x24', ...session]
                                    : session;
    try {
        await run(command, args, { env, timeout: 300000 });
    } catch (e) {
        assert.fail(`the desktop session failed:\n${e.stdout}\n${e.stderr}`);
    }
    server = await startServer({ movieDir });
    browser = await launchBrowser();
});

after(async () => {
    await browser?.close();
    await server?.close();
});

test('the show the desktop program created plays from its page', async () => {
    const player = await PagePlayer.open(browser.context, `${server.origin}/movies/desktop/show.html`);
    try {
        assert.equal(player.metadata.width, 320);
        assert.equal(player.metadata.height, 240);
        assert.equal(player.metadata.numFrames, 1 + 60 + 51 + 20, 'preloader, red 3 s, blue slides in');
        // Red stands during its three seconds, blue at the end.
        const red = [230, 20, 20];
        const blue = [20, 20, 230];
        const wait = 1500 - (Date.now() - player.started);
        if (wait > 0) await player.page.waitForTimeout(wait);
        const [first] = await player.pixels([[160, 120]], 'desktop-red.png');
        assert.ok(colourDelta(first, red) <= 12, `the red picture stands first: ${first}`);
        await player.page.waitForTimeout(6500 - (Date.now() - player.started));
        const [last] = await player.pixels([[160, 120]], 'desktop-blue.png');
        assert.ok(colourDelta(last, blue) <= 12, `the blue picture stands last: ${last}`);
        player.assertHealthy();
    } finally {
        await player.close();
    }
});
