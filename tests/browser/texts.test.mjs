// Texts in Ruffle: a static text in an embedded font shows its glyphs in
// order and at size, as FreeType draws the same text from the font file;
// edit texts show the values a frame script gives their variables.

import { test } from 'node:test';
import assert from 'node:assert/strict';
import { readFile } from 'node:fs/promises';
import path from 'node:path';
import { useBrowser } from './harness.mjs';

const session = useBrowser();

async function readPgm(file) {
    const bytes = await readFile(file);
    const header = bytes.subarray(0, 32).toString('latin1').split(/\s+/);
    assert.equal(header[0], 'P5');
    const [width, height] = [Number(header[1]), Number(header[2])];
    const start = bytes.length - width * height;
    return { width, height, ink: Array.from(bytes.subarray(start)) };
}

function sumInk(img, x0, x1, y0, y1) {
    let sum = 0;
    for (let y = Math.max(0, Math.floor(y0)); y < Math.min(img.height, Math.ceil(y1)); ++y)
        for (let x = Math.max(0, Math.floor(x0)); x < Math.min(img.width, Math.ceil(x1)); ++x)
            sum += img.ink[y * img.width + x];
    return sum;
}

function correlation(a, b) {
    const n = a.length;
    const ma = a.reduce((s, v) => s + v, 0) / n;
    const mb = b.reduce((s, v) => s + v, 0) / n;
    let ab = 0, aa = 0, bb = 0;
    for (let i = 0; i < n; ++i) {
        ab += (a[i] - ma) * (b[i] - mb);
        aa += (a[i] - ma) ** 2;
        bb += (b[i] - mb) ** 2;
    }
    return ab / Math.sqrt(aa * bb);
}

function columnProfile(img, x0, x1, y0, y1) {
    const out = [];
    for (let x = x0; x < x1; ++x) out.push(sumInk(img, x, x + 1, y0, y1));
    return out;
}

test('a static text in an embedded font draws "Pictova ÄÖÜ äöü ß" as FreeType does', async () => {
    const manifest = await session.readJson('texts-static.json');
    const reference = await readPgm(path.join(session.movieDir, 'texts-static-reference.pgm'));
    const player = await session.play('texts-static.swf', { preferredRenderer: 'webgl' });
    try {
        assert.equal(player.metadata.width, manifest.width);
        await player.page.waitForTimeout(500);
        const shown = await player.ink('texts-static.png');
        player.assertHealthy();

        for (const [n, line] of manifest.lines.entries()) {
            const top = line.top, bottom = line.baseline + line.descent + 1;
            const label = `line ${n + 1}`;
            // Each letter's cell has ink; the middle of each blank has none.
            for (const [i, cell] of line.cells.entries()) {
                if (cell.blank) {
                    const quarter = (cell.x1 - cell.x0) / 4;
                    const ink = sumInk(shown, cell.x0 + quarter, cell.x1 - quarter, top, bottom);
                    assert.ok(ink < 255, `${label}: ink between words at character ${i}: ${ink}`);
                } else {
                    const ink = sumInk(shown, cell.x0, cell.x1, top, bottom);
                    const expected = sumInk(reference, cell.x0, cell.x1, top, bottom);
                    assert.ok(ink > 0.75 * expected && ink < 1.33 * expected,
                        `${label}: character ${i} has ink ${ink}, FreeType ${expected}`);
                }
            }
            // Above the accents and below the descent: nothing.
            const x0 = line.cells[0].x0, x1 = line.cells.at(-1).x1;
            assert.ok(sumInk(shown, x0, x1, top - 8, top - 2) < 255, `${label}: ink above the line`);
            // The whole line, pixel by pixel, against the reference.
            const rows = [Math.floor(top) - 2, Math.ceil(bottom) + 2];
            let diff = 0, count = 0, inkShown = 0, inkRef = 0;
            for (let y = rows[0]; y < rows[1]; ++y)
                for (let x = Math.floor(x0); x < Math.ceil(x1); ++x) {
                    const a = shown.ink[y * shown.width + x], b = reference.ink[y * reference.width + x];
                    diff += Math.abs(a - b);
                    inkShown += a;
                    inkRef += b;
                    ++count;
                }
            const profile = correlation(columnProfile(shown, Math.floor(x0), Math.ceil(x1), ...rows),
                columnProfile(reference, Math.floor(x0), Math.ceil(x1), ...rows));
            assert.ok(diff / count < 8, `${label}: mean difference ${(diff / count).toFixed(2)} from FreeType`);
            assert.ok(profile > 0.98, `${label}: column profile correlation ${profile.toFixed(3)}`);
            assert.ok(Math.abs(inkShown / inkRef - 1) < 0.15, `${label}: ink ${inkShown} vs ${inkRef}`);
        }
    } finally {
        await player.close();
    }
});

// Best match of a patch of the image against another place of it, shifted
// by up to `reach` pixels: the mean absolute difference.
function bestShift(img, a, b, reach) {
    let best = Infinity;
    for (let dy = -reach; dy <= reach; ++dy)
        for (let dx = -reach; dx <= reach; ++dx) {
            let diff = 0, count = 0;
            for (let y = 0; y < a.h; ++y)
                for (let x = 0; x < a.w; ++x) {
                    const p = img.ink[(a.y + y) * img.width + a.x + x];
                    const q = img.ink[(b.y + y + dy) * img.width + b.x + x + dx];
                    diff += Math.abs(p - q);
                    ++count;
                }
            best = Math.min(best, diff / count);
        }
    return best;
}

test('edit texts show the values a frame script sets', async () => {
    const player = await session.play('texts-edit.swf', { preferredRenderer: 'webgl' });
    try {
        await player.tracesAfter(1, 8000);
        assert.deepEqual(await player.traces(), ['Hallo Welt 42']);
        await player.page.waitForTimeout(300);
        const shown = await player.ink('texts-edit.png');
        player.assertHealthy();

        // Embedded font (10..390, 10..50): its ink looks like the static
        // text of the value at (10..390, 130..170).
        const editInk = sumInk(shown, 10, 390, 10, 50);
        const staticInk = sumInk(shown, 10, 390, 130, 170);
        assert.ok(staticInk > 0, 'the static reference text shows');
        assert.ok(Math.abs(editInk / staticInk - 1) < 0.15,
            `edit text ink ${editInk} against the value's ${staticInk}`);
        const patch = { x: 14, y: 12, w: 180, h: 34 };
        const diff = bestShift(shown, patch, { x: 14, y: 132 }, 6);
        assert.ok(diff < 6, `edit text and static text of the value differ by ${diff.toFixed(2)}`);

        // Device font (10..390, 60..100): a word-wide run of ink, not "-".
        let left = Infinity, right = -1;
        for (let x = 10; x < 390; ++x)
            if (sumInk(shown, x, x + 1, 60, 100) > 200) {
                left = Math.min(left, x);
                right = Math.max(right, x);
            }
        assert.ok(right - left > 120, `device-font text spans ${left}..${right}`);
    } finally {
        await player.close();
    }
});
