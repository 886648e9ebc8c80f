// A show's background music is heard in Ruffle. The page's audio is routed
// through an AnalyserNode (wrapped AudioNode.connect) whose loudness is
// sampled on the audio clock. The own music is a 0.5-second WAV, 0.3 s of
// 440 Hz and 0.2 s of silence, so each play is one burst of sound. A show of
// two seconds loops it ceil(2 / 0.5) = 4 times, or plays it once with
// --no-loop. Ruffle repeats the whole movie after its last frame, which
// starts the music anew: only the first 1.75 seconds are counted.

import { test, before } from 'node:test';
import assert from 'node:assert/strict';
import { execFile } from 'node:child_process';
import { existsSync } from 'node:fs';
import { mkdir, rm, writeFile } from 'node:fs/promises';
import path from 'node:path';
import { promisify } from 'node:util';
import { useBrowser, colourDelta, flatBmp } from './harness.mjs';

const run = promisify(execFile);
const session = useBrowser({ needsCli: true });
const { cli } = session;
const musicDir = path.join(session.movieDir ?? '.', 'music');
const builtInTrack = cli && path.join(path.dirname(cli), 'data', 'audio', 'K4R2T8N6D1');

// 16-bit mono PCM at 22050 Hz: `toneSeconds` of 440 Hz at half scale, then silence.
function burstWav(toneSeconds, totalSeconds) {
    const rate = 22050;
    const samples = Math.round(rate * totalSeconds);
    const data = Buffer.alloc(44 + samples * 2);
    data.write('RIFF', 0);
    data.writeUInt32LE(36 + samples * 2, 4);
    data.write('WAVEfmt ', 8);
    data.writeUInt32LE(16, 16);
    data.writeUInt16LE(1, 20); // PCM
    data.writeUInt16LE(1, 22); // mono
    data.writeUInt32LE(rate, 24);
    data.writeUInt32LE(rate * 2, 28);
    data.writeUInt16LE(2, 32);
    data.writeUInt16LE(16, 34);
    data.write('data', 36);
    data.writeUInt32LE(samples * 2, 40);
    for (let i = 0; i < samples; ++i) {
        const v = i < rate * toneSeconds ? Math.sin((2 * Math.PI * 440 * i) / rate) * 16000 : 0;
        data.writeInt16LE(Math.round(v), 44 + i * 2);
    }
    return data;
}

// Runs in the page before Ruffle: whatever connects to the speakers goes
// through one analyser per audio context, sampled every 10 ms.
function routeAudioThroughAnalyser() {
    window.loudness = [];
    const connect = AudioNode.prototype.connect;
    AudioNode.prototype.connect = function (target, ...rest) {
        if (!(target instanceof AudioDestinationNode)) return connect.call(this, target, ...rest);
        const context = target.context;
        if (!context.pictovaAnalyser) {
            const analyser = context.createAnalyser();
            analyser.fftSize = 1024;
            connect.call(analyser, target);
            context.pictovaAnalyser = analyser;
            const buffer = new Float32Array(analyser.fftSize);
            setInterval(() => {
                analyser.getFloatTimeDomainData(buffer);
                let sum = 0;
                for (const v of buffer) sum += v * v;
                window.loudness.push([context.currentTime, Math.sqrt(sum / buffer.length)]);
            }, 10);
        }
        return connect.call(this, context.pictovaAnalyser, ...rest);
    };
}

// Bursts of sound within `seconds` of the first one: rises above `loud`
// after at least 50 ms below `quiet`.
function burstsOf(loudness, seconds, loud = 0.05, quiet = 0.005) {
    const first = loudness.find(([, rms]) => rms > loud);
    if (!first) return { bursts: 0, onset: null };
    let bursts = 0;
    let quietSince = -Infinity;
    let inBurst = false;
    for (const [time, rms] of loudness) {
        if (time < first[0] || time > first[0] + seconds) continue;
        if (rms > loud && !inBurst && (bursts === 0 || time - quietSince >= 0.05)) {
            ++bursts;
            inBurst = true;
        } else if (rms < quiet) {
            if (inBurst) quietSince = time;
            inBurst = false;
        }
    }
    return { bursts, onset: first[0] };
}

before(async () => {
    await session.ready;
    await rm(musicDir, { recursive: true, force: true });
    await mkdir(musicDir, { recursive: true });
    await writeFile(path.join(musicDir, 'red.bmp'), flatBmp(64, 48, [255, 0, 0]));
    await writeFile(path.join(musicDir, 'bursts.wav'), burstWav(0.3, 0.5));
    const show = ['--yes', '--preview', '--duration', '2', '--effect', '1'];
    await run(cli, [...show, '-o', 'looped.swf', '--music', 'bursts.wav', 'red.bmp'], { cwd: musicDir });
    await run(cli, [...show, '-o', 'once.swf', '--music', 'bursts.wav', '--no-loop', 'red.bmp'],
              { cwd: musicDir });
    if (existsSync(builtInTrack))
        await run(cli, [...show, '-o', 'track.swf', '--music', '1', 'red.bmp'], { cwd: musicDir });
    await session.browser.context.addInitScript(routeAudioThroughAnalyser);
});

async function listen(movie, milliseconds) {
    const player = await session.play(`music/${movie}`);
    try {
        await player.page.waitForTimeout(milliseconds);
        const [pixel] = await player.pixels([[32, 24]], `music-${movie}.png`);
        const loudness = await player.page.evaluate(() => window.loudness.slice());
        player.assertHealthy();
        return { pixel, loudness };
    } finally {
        await player.close();
    }
}

for (const [movie, plays] of [['looped.swf', 4], ['once.swf', 1]]) {
    test(`an own WAV ${plays === 1 ? 'without looping plays once' : `looped plays ${plays} times`}`,
         async () => {
        const { pixel, loudness } = await listen(movie, 3000);
        assert.ok(colourDelta(pixel, [255, 0, 0]) <= 10, `the picture shows (got ${pixel})`);
        assert.ok(loudness.length > 100, `the audio was sampled (${loudness.length} samples)`);
        // Plays start every 0.5 s; the movie's own repeat starts at 2 s and
        // is left out.
        const { bursts } = burstsOf(loudness, 1.75);
        assert.equal(bursts, plays);
    });
}

test('a show with a built-in track is audible from its start', async (t) => {
    if (!existsSync(builtInTrack)) {
        t.skip('no built-in track beside the program');
        return;
    }
    const { loudness } = await listen('track.swf', 3000);
    const start = loudness.length ? loudness[0][0] : 0;
    // The track rises within 0.4 to 0.9 s of the audio's start here; a busy
    // machine adds some.
    const early = loudness.filter(([time]) => time - start < 1.5);
    assert.ok(early.some(([, rms]) => rms > 0.02), 'sound within the first moments');
    const late = loudness.filter(([time]) => time - start > 1.5 && time - start < 2.5);
    assert.ok(late.filter(([, rms]) => rms > 0.005).length > late.length / 2,
              'and it keeps playing');
});
