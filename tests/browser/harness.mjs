// Browser harness: serves a folder of movies and the self-hosted Ruffle files
// on 127.0.0.1, plays a movie in headless Chromium and reports what it shows.

import assert from 'node:assert/strict';
import { createServer } from 'node:http';
import { mkdtemp, readFile, rm, stat, mkdir, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const repo = path.resolve(here, '..', '..');
export const defaultRuffleDir =
    process.env.PICTOVA_RUFFLE_DIR || path.join(repo, 'node_modules', '@ruffle-rs', 'ruffle');
export const artifactsDir =
    process.env.PICTOVA_BROWSER_ARTIFACTS || path.join(repo, 'tests', 'browser', 'artifacts');

const contentTypes = {
    '.html': 'text/html; charset=utf-8',
    '.js': 'text/javascript',
    '.wasm': 'application/wasm',
    '.swf': 'application/x-shockwave-flash',
    '.png': 'image/png',
    '.jpg': 'image/jpeg',
    '.map': 'application/json',
};

const playerPage = `<!doctype html>
<html><head><meta charset="utf-8"><title>player</title>
<style>html,body{margin:0;padding:0;background:#000}ruffle-player{display:block}</style>
<script src="/ruffle/ruffle.js"></script></head><body></body></html>`;

// Serves `/ruffle/...` from the Ruffle folder, `/movies/...` from the movie
// folder and `/player.html`. Paths outside either folder are refused.
export async function startServer({ movieDir, ruffleDir = defaultRuffleDir }) {
    const roots = { ruffle: path.resolve(ruffleDir), movies: path.resolve(movieDir) };
    const server = createServer(async (req, res) => {
        try {
            const url = new URL(req.url, 'http://127.0.0.1');
            if (url.pathname === '/player.html') {
                res.writeHead(200, { 'content-type': contentTypes['.html'] });
                res.end(playerPage);
                return;
            }
            const [, rootName, ...rest] = decodeURIComponent(url.pathname).split('/');
            const root = roots[rootName];
            const file = root && path.resolve(root, ...rest);
            if (!file || !file.startsWith(root + path.sep) || !(await stat(file)).isFile()) {
                res.writeHead(404).end();
                return;
            }
            const body = await readFile(file);
            res.writeHead(200, {
                'content-type': contentTypes[path.extname(file)] || 'application/octet-stream',
                'content-length': body.length,
            });
            res.end(body);
        } catch {
            res.writeHead(404).end();
        }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const { port } = server.address();
    return {
        origin: `http://127.0.0.1:${port}`,
        close: () => new Promise((resolve) => server.close(resolve)),
    };
}

// Headless Debian Chromium with a fresh profile that is removed on close.
export async function launchBrowser() {
    const profile = await mkdtemp(path.join(tmpdir(), 'pictova-chromium-'));
    const context = await chromium.launchPersistentContext(profile, {
        executablePath: process.env.PICTOVA_CHROMIUM || '/usr/bin/chromium',
        headless: true,
        viewport: { width: 800, height: 600 },
        deviceScaleFactor: 1,
        args: [
            '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
            '--disable-background-networking', '--disable-component-update', '--disable-sync',
        ],
    });
    return {
        context,
        close: async () => {
            await context.close();
            await rm(profile, { recursive: true, force: true });
        },
    };
}

// Starts the movie server and the browser before the file's tests and
// closes both after them, through node:test hooks. `movieDir` and `cli` are
// read at once; `server` and `browser` are there once `ready` has settled.
// Top-level before() hooks start as soon as they are registered, without
// waiting for each other: a file's own hook that needs the browser or the
// checked environment awaits `session.ready` first.
export function useBrowser({ needsCli = false } = {}) {
    let started;
    const session = {
        movieDir: process.env.PICTOVA_MOVIES,
        cli: process.env.PICTOVA_CLI,
        server: null,
        browser: null,
        ready: new Promise((resolve) => { started = resolve; }),
        // Plays `movie`, a path within the movie folder.
        play: (movie, config) => MoviePlayer.open(session.browser.context, session.server.origin,
            `/movies/${movie}`, config),
        // A JSON file the fixture program wrote beside its movies.
        readJson: async (name) => JSON.parse(await readFile(path.join(session.movieDir, name), 'utf8')),
    };
    // A failed start is reported by the hook below; files that never await
    // `ready` must not see it a second time as an unhandled rejection.
    session.ready.catch(() => {});
    before(async () => {
        const start = (async () => {
            if (needsCli) assert.ok(session.movieDir && session.cli, 'PICTOVA_MOVIES and PICTOVA_CLI are set');
            else assert.ok(session.movieDir, 'PICTOVA_MOVIES names the folder of fixture movies');
            session.server = await startServer({ movieDir: session.movieDir });
            session.browser = await launchBrowser();
        })();
        started(start);
        await start;
    });
    after(async () => {
        await session.browser?.close();
        await session.server?.close();
    });
    return session;
}

// The pop-up about hardware acceleration swallows clicks and covers the stage.
const hidePopups = '#hardware-acceleration-modal,#play-button{display:none!important}';

// Page errors and player panics of a page, as they happen.
function watchForProblems(page) {
    const problems = [];
    page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
    page.on('console', (m) => {
        if (/panicked/i.test(m.text())) problems.push(`player panic: ${m.text()}`);
    });
    return problems;
}

// What both kinds of player share: the stage element of a page and the movie's
// metadata. A player panic or a page error fails every later look at the stage.
class StagePlayer {
    constructor(page, stage, metadata, problems) {
        this.page = page;
        this.stage = stage;
        this.metadata = metadata;
        this.problems = problems;
    }

    assertHealthy() {
        if (this.problems.length) throw new Error(this.problems.join('\n'));
    }

    // PNG of the stage area only, kept among the artifacts as `saveAs` if given.
    async screenshot(saveAs) {
        this.assertHealthy();
        const png = await this.stage.screenshot();
        if (saveAs) {
            await mkdir(artifactsDir, { recursive: true });
            await writeFile(path.join(artifactsDir, saveAs), png);
        }
        return png;
    }

    // RGB of stage pixels ([x, y] in stage pixels) in a screenshot, decoded
    // by the browser itself.
    async pixels(points, saveAs) {
        return decodePixels(this.page, await this.screenshot(saveAs), points);
    }

    // Ink of every stage pixel (255 - luminance: dark on white), rows top to
    // bottom: { ink, width, height }.
    async ink(saveAs) {
        const png = await this.screenshot(saveAs);
        const { width, height } = this.metadata;
        const ink = await this.page.evaluate(async ({ b64, width, height }) => {
            const blob = await (await fetch(`data:image/png;base64,${b64}`)).blob();
            const bitmap = await createImageBitmap(blob);
            const canvas = new OffscreenCanvas(width, height);
            const ctx = canvas.getContext('2d');
            ctx.drawImage(bitmap, 0, 0);
            const data = ctx.getImageData(0, 0, width, height).data;
            const out = new Array(width * height);
            for (let i = 0; i < width * height; ++i)
                out[i] = 255 - Math.round(0.299 * data[4 * i] + 0.587 * data[4 * i + 1] + 0.114 * data[4 * i + 2]);
            return out;
        }, { b64: png.toString('base64'), width, height });
        return { ink, width, height };
    }

    async close() {
        await this.page.close();
    }
}

// Plays one movie in the harness's own player page.
export class MoviePlayer extends StagePlayer {
    static async open(context, origin, movieUrl, config = {}) {
        const page = await context.newPage();
        const problems = watchForProblems(page);
        const logs = [];
        page.on('console', (m) => logs.push(`${m.type()}: ${m.text()}`));
        await page.goto(`${origin}/player.html`);
        const metadata = await page.evaluate(async ({ url, config, hidePopups }) => {
            const player = window.RufflePlayer.newest().createPlayer();
            player.id = 'player';
            document.body.appendChild(player);
            window.traces = [];
            const loaded = new Promise((resolve, reject) => {
                player.addEventListener('loadedmetadata', resolve, { once: true });
                player.addEventListener('loadeddata', resolve, { once: true });
                setTimeout(() => reject(new Error('movie metadata did not arrive in 20 s')), 20000);
            });
            await player.ruffle().load({
                url, autoplay: 'on', unmuteOverlay: 'hidden', splashScreen: false,
                allowScriptAccess: true, logLevel: 'warn', ...config,
            });
            player.ruffle().traceObserver = (message) => window.traces.push(message);
            await loaded;
            const m = player.ruffle().metadata;
            player.style.width = `${m.width}px`;
            player.style.height = `${m.height}px`;
            const style = document.createElement('style');
            style.textContent = hidePopups;
            player.shadowRoot?.appendChild(style);
            return {
                width: m.width, height: m.height, numFrames: m.numFrames,
                frameRate: m.frameRate, swfVersion: m.swfVersion,
                backgroundColor: m.backgroundColor, uncompressedLength: m.uncompressedLength,
            };
        }, { url: movieUrl, config, hidePopups });
        return new MoviePlayer(page, metadata, problems, logs);
    }

    constructor(page, metadata, problems, logs) {
        super(page, page.locator('#player'), metadata, problems);
        this.logs = logs;
    }

    async traces() {
        return this.page.evaluate(() => window.traces.slice());
    }

    // The traces once there are `count` of them, or when `timeout` ms passed.
    async tracesAfter(count, timeout = 5000) {
        const deadline = Date.now() + timeout;
        let traces = await this.traces();
        while (traces.length < count && Date.now() < deadline) {
            await this.page.waitForTimeout(50);
            traces = await this.traces();
        }
        return traces;
    }

    // Screenshots and samples at given times (milliseconds after the call).
    async samplesAt(times, points, namePrefix) {
        const start = Date.now();
        const out = [];
        for (const t of times) {
            const wait = t - (Date.now() - start);
            if (wait > 0) await this.page.waitForTimeout(wait);
            out.push({ time: t, pixels: await this.pixels(points, namePrefix && `${namePrefix}-${t}.png`) });
        }
        return out;
    }
}

// A written HTML page that embeds a movie, played by the Ruffle it loads
// itself. Waits until the player in the page has the movie's metadata.
export class PagePlayer extends StagePlayer {
    static async open(context, pageUrl) {
        const page = await context.newPage();
        const problems = watchForProblems(page);
        const requests = [];
        page.on('request', (r) => requests.push(r.url()));
        await page.goto(pageUrl);
        const element = page.locator('ruffle-object, ruffle-embed, ruffle-player').first();
        await element.waitFor({ timeout: 20000 });
        const metadata = await element.evaluate(async (player) => {
            for (let i = 0; i < 200; ++i) {
                const m = player.ruffle?.().metadata;
                if (m) return { width: m.width, height: m.height, numFrames: m.numFrames,
                                swfVersion: m.swfVersion };
                await new Promise((r) => setTimeout(r, 100));
            }
            throw new Error('the page\'s player reported no movie in 20 s');
        });
        await element.evaluate((player, hidePopups) => {
            const style = document.createElement('style');
            style.textContent = hidePopups;
            player.shadowRoot?.appendChild(style);
        }, hidePopups);
        return new PagePlayer(page, element, metadata, problems, requests);
    }

    constructor(page, element, metadata, problems, requests) {
        super(page, element, metadata, problems);
        this.requests = requests;
        this.started = Date.now();
    }
}

// Checks named points of the stage: expectations are [name, [x, y], colour,
// tolerance (8 if left out)], and every point off its colour is reported.
export async function expectColours(player, expectations, saveAs) {
    const pixels = await player.pixels(expectations.map((e) => e[1]), saveAs);
    const wrong = expectations
        .map(([name, point, colour, tolerance = 8], i) => ({ name, point, colour, tolerance, got: pixels[i] }))
        .filter((e) => colourDelta(e.got, e.colour) > e.tolerance)
        .map((e) => `${e.name} at ${e.point}: got ${e.got}, want ${e.colour}`);
    assert.deepEqual(wrong, []);
}

// Samples `points` at `times` (ms after the call): each time exactly one of
// them shows its own colour of `colours` and the others `background`, and
// every one of them shows its colour at some time.
export async function expectOneAtATime(player, { points, colours, background, times }) {
    const seen = new Set();
    for (const { time, pixels } of await player.samplesAt(times, points)) {
        const shown = pixels.map((p, i) =>
            (colourDelta(p, colours[i]) <= 8 ? i : colourDelta(p, background) <= 8 ? -1 : -2));
        assert.ok(!shown.includes(-2), `at ${time} ms an unexpected colour: ${JSON.stringify(pixels)}`);
        const on = shown.filter((s) => s >= 0);
        assert.equal(on.length, 1,
            `at ${time} ms exactly one point shows its colour: ${JSON.stringify(pixels)}`);
        seen.add(on[0]);
    }
    assert.deepEqual([...seen].sort((a, b) => a - b), points.map((_, i) => i),
        'every point showed its colour at some time');
}

// RGB of points in a PNG screenshot, decoded by the browser of the page.
async function decodePixels(page, png, points) {
    return page.evaluate(async ({ b64, points }) => {
        const blob = await (await fetch(`data:image/png;base64,${b64}`)).blob();
        const bitmap = await createImageBitmap(blob);
        const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
        const ctx = canvas.getContext('2d');
        ctx.drawImage(bitmap, 0, 0);
        return points.map(([x, y]) => Array.from(ctx.getImageData(x, y, 1, 1).data.slice(0, 3)));
    }, { b64: png.toString('base64'), points });
}

// Colour distance for assertions: the largest channel difference.
export function colourDelta(a, b) {
    return Math.max(...a.map((v, i) => Math.abs(v - b[i])));
}

// A 24-bit BMP file of one colour, for shows made by the tests.
export function flatBmp(width, height, [r, g, b]) {
    const row = Math.ceil((width * 3) / 4) * 4;
    const data = Buffer.alloc(54 + row * height);
    data.write('BM', 0);
    data.writeUInt32LE(data.length, 2);
    data.writeUInt32LE(54, 10);
    data.writeUInt32LE(40, 14);
    data.writeInt32LE(width, 18);
    data.writeInt32LE(height, 22);
    data.writeUInt16LE(1, 26);
    data.writeUInt16LE(24, 28);
    data.writeUInt32LE(row * height, 34);
    for (let y = 0; y < height; ++y)
        for (let x = 0; x < width; ++x) data.set([b, g, r], 54 + y * row + x * 3);
    return data;
}
