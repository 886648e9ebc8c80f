// Browser harness: serves a folder of movies and the self-hosted Ruffle files
// on 127.0.0.1, plays a movie in headless Chromium and reports what it shows.

import { createServer } from 'node:http';
import { mkdtemp, readFile, rm, stat, mkdir, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
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

// Plays one movie and gives access to what the player shows. A player panic
// or a page error fails every later call.
export class MoviePlayer {
    static async open(context, origin, movieUrl, config = {}) {
        const page = await context.newPage();
        const problems = [];
        const logs = [];
        page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
        page.on('console', (m) => {
            logs.push(`${m.type()}: ${m.text()}`);
            if (/panicked/i.test(m.text())) problems.push(`player panic: ${m.text()}`);
        });
        await page.goto(`${origin}/player.html`);
        const metadata = await page.evaluate(async ({ url, config }) => {
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
            // The pop-up about hardware acceleration swallows clicks and covers the stage.
            const style = document.createElement('style');
            style.textContent = '#hardware-acceleration-modal,#play-button{display:none!important}';
            player.shadowRoot?.appendChild(style);
            return {
                width: m.width, height: m.height, numFrames: m.numFrames,
                frameRate: m.frameRate, swfVersion: m.swfVersion,
                backgroundColor: m.backgroundColor, uncompressedLength: m.uncompressedLength,
            };
        }, { url: movieUrl, config });
        return new MoviePlayer(page, metadata, problems, logs);
    }

    constructor(page, metadata, problems, logs) {
        this.page = page;
        this.metadata = metadata;
        this.problems = problems;
        this.logs = logs;
    }

    assertHealthy() {
        if (this.problems.length) throw new Error(this.problems.join('\n'));
    }

    async traces() {
        return this.page.evaluate(() => window.traces.slice());
    }

    // PNG of the stage area only.
    async screenshot(saveAs) {
        this.assertHealthy();
        const png = await this.page.locator('#player').screenshot();
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

    // Screenshots and samples at given times (milliseconds after loading).
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

    async close() {
        await this.page.close();
    }
}

// A written HTML page that embeds a movie, played by the Ruffle it loads
// itself. Waits until the player in the page has the movie's metadata.
export class PagePlayer {
    static async open(context, pageUrl) {
        const page = await context.newPage();
        const problems = [];
        const requests = [];
        page.on('pageerror', (e) => problems.push(`page error: ${e.message}`));
        page.on('console', (m) => {
            if (/panicked/i.test(m.text())) problems.push(`player panic: ${m.text()}`);
        });
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
        await element.evaluate((player) => {
            const style = document.createElement('style');
            style.textContent = '#hardware-acceleration-modal,#play-button{display:none!important}';
            player.shadowRoot?.appendChild(style);
        });
        return new PagePlayer(page, element, metadata, problems, requests);
    }

    constructor(page, element, metadata, problems, requests) {
        this.page = page;
        this.element = element;
        this.metadata = metadata;
        this.problems = problems;
        this.requests = requests;
        this.started = Date.now();
    }

    assertHealthy() {
        if (this.problems.length) throw new Error(this.problems.join('\n'));
    }

    async screenshot(saveAs) {
        this.assertHealthy();
        const png = await this.element.screenshot();
        if (saveAs) {
            await mkdir(artifactsDir, { recursive: true });
            await writeFile(path.join(artifactsDir, saveAs), png);
        }
        return png;
    }

    async pixels(points, saveAs) {
        return decodePixels(this.page, await this.screenshot(saveAs), points);
    }

    async close() {
        await this.page.close();
    }
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
