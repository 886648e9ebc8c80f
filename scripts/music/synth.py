"""A small synthesiser for the built-in tracks: oscillators, envelopes,
voices, drums, a delay and a reverb, and a stereo mix written as a 16-bit
WAV file. Standard library only, and deterministic: all noise comes from one
seeded generator that reset() starts afresh for every piece.

Sample values are floats around [-1, 1]; times are in seconds unless a name
says samples. Voices return tuples (they are cached and shared)."""

import array
import math
import random
import sys
import wave
from functools import lru_cache
from operator import add, mul

SR = 44100
TWO_PI = 2.0 * math.pi
TABLE_SIZE = 4096
TABLE_MASK = TABLE_SIZE - 1

_rng = random.Random(0)


def reset(seed):
    """Starts a piece: the same seed gives the same noise, whatever was
    rendered before."""
    _rng.seed(seed)
    for cached in _CACHED:
        cached.cache_clear()


def rng():
    return _rng


# ---------------------------------------------------------------- pitches

_LETTERS = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}


def note(name):
    """MIDI number of a name like "C#4" or "Bb2" (C4 = 60)."""
    i, shift = 1, 0
    while name[i] in "#b":
        shift += 1 if name[i] == "#" else -1
        i += 1
    return 12 * (int(name[i:]) + 1) + _LETTERS[name[0]] + shift


def freq(midi):
    return 440.0 * 2.0 ** ((midi - 69) / 12.0)


def seconds(n_samples):
    return n_samples / SR


def samples(t):
    return int(round(t * SR))


# ------------------------------------------------------------- wavetables

def _partials(shape, top):
    """(harmonic, amplitude) of a shape, harmonics up to top."""
    if shape == "saw":
        return [(h, 1.0 / h) for h in range(1, top + 1)]
    if shape == "square":
        return [(h, 1.0 / h) for h in range(1, top + 1, 2)]
    if shape == "pulse":  # 30 % duty: reedy, every harmonic but faint 10th
        return [(h, abs(math.sin(math.pi * h * 0.3)) / h) for h in range(1, top + 1)]
    if shape == "flute":
        return [(1, 1.0), (2, 0.22), (3, 0.1), (4, 0.035)]
    if shape == "whistle":
        return [(1, 1.0), (2, 0.32), (3, 0.16), (4, 0.07), (5, 0.03)]
    if shape == "organ":
        return [(1, 1.0), (2, 0.5), (3, 0.25), (4, 0.12), (6, 0.06)]
    raise ValueError(shape)


@lru_cache(maxsize=None)
def _table(shape, octave):
    # One table per octave keeps every harmonic below 16 kHz (band-limited,
    # so high notes do not alias) without paying for thousands of partials.
    top_freq = 32.7 * 2.0 ** (octave + 1)
    top = max(1, min(48, int(16000.0 / top_freq)))
    table = [0.0] * TABLE_SIZE
    for h, a in _partials(shape, top):
        if h > top:
            continue
        k = TWO_PI * h / TABLE_SIZE
        for i in range(TABLE_SIZE):
            table[i] += a * math.sin(k * i)
    peak = max(abs(v) for v in table)
    return tuple(v / peak for v in table)


def table_for(shape, f):
    return _table(shape, max(0, int(math.log2(max(f, 32.7) / 32.7))))


def osc(shape, f, n, vib_rate=0.0, vib_depth=0.0, vib_delay=0.0, phase=0.0, detune=0.0):
    """n samples of a wavetable oscillator. vib_depth in semitones; the
    vibrato fades in over vib_delay seconds. detune in cents."""
    table = table_for(shape, f)
    f = f * 2.0 ** (detune / 1200.0)
    inc = f * TABLE_SIZE / SR
    p0 = phase * TABLE_SIZE
    if vib_depth == 0.0:
        return [table[int(p0 + i * inc) & TABLE_MASK] for i in range(n)]
    # d(pitch ratio) ~ ln 2 / 12 per semitone for small depths.
    depth = vib_depth * math.log(2.0) / 12.0
    w = TWO_PI * vib_rate / SR
    ramp = max(1, samples(vib_delay))
    out = [0.0] * n
    p = p0
    for i in range(n):
        out[i] = table[int(p) & TABLE_MASK]
        r = i / ramp if i < ramp else 1.0
        p += inc * (1.0 + depth * r * math.sin(w * i))
    return out


# -------------------------------------------------------------- envelopes

def adsr(n, gate, a, d, s, r):
    """Amplitude envelope over n samples; the note is held for gate samples,
    then released over r seconds (from wherever it stands)."""
    na, nd, nr = max(1, samples(a)), max(1, samples(d)), max(1, samples(r))
    env = [0.0] * n
    level = 0.0
    for i in range(min(n, gate)):
        if i < na:
            level = i / na
        elif i < na + nd:
            level = 1.0 - (1.0 - s) * (i - na) / nd
        else:
            level = s
        env[i] = level
    if gate < n:
        k = 0.001 ** (1.0 / nr)  # -60 dB after r seconds
        for i in range(gate, n):
            level *= k
            env[i] = level
    return env


def decay(n, tau, attack=0.002):
    """Exponential decay with time constant tau, after a short linear attack."""
    na = max(1, samples(attack))
    k = math.exp(-1.0 / (tau * SR))
    return [(i / na if i < na else 1.0) * k ** i for i in range(n)]


def times(x, y):
    return list(map(mul, x, y))


def scaled(x, g):
    return [v * g for v in x]


def mixed(x, y):
    """Sum of two signals; the shorter one counts as zero past its end."""
    if len(x) < len(y):
        x, y = y, x
    out = list(x)
    out[: len(y)] = map(add, x[: len(y)], y)
    return out


# ---------------------------------------------------------------- filters

def onepole_lp(x, cutoff):
    a = 1.0 - math.exp(-TWO_PI * cutoff / SR)
    y = 0.0
    out = [0.0] * len(x)
    for i, v in enumerate(x):
        y += a * (v - y)
        out[i] = y
    return out


def highpass(x, cutoff):
    lp = onepole_lp(x, cutoff)
    return list(map(lambda v, l: v - l, x, lp))


def svf(x, cutoff, q=0.7, mode="lp"):
    """Chamberlin state-variable filter. cutoff is Hz or a list of Hz per
    sample (kept below 7 kHz, where this filter stays stable)."""
    damp = 1.0 / q
    out = [0.0] * len(x)
    low = band = 0.0
    varying = isinstance(cutoff, list)
    f = 2.0 * math.sin(math.pi * min(cutoff, 7000.0) / SR) if not varying else 0.0
    for i, v in enumerate(x):
        if varying:
            f = 2.0 * math.sin(math.pi * min(cutoff[i], 7000.0) / SR)
        low += f * band
        high = v - low - damp * band
        band += f * high
        out[i] = low if mode == "lp" else (band if mode == "bp" else high)
    return out


def noise(n):
    u = _rng.uniform
    return [u(-1.0, 1.0) for _ in range(n)]


# ----------------------------------------------------------------- voices

def _release_len(gate, r):
    return gate + samples(r * 1.2)


@lru_cache(maxsize=None)
def epiano(midi, gate, vel):
    """FM electric piano: a 1:1 modulator whose index falls with time gives
    the bright attack, a 14:1 partial the tine's ping."""
    f = freq(midi)
    n = _release_len(gate, 0.25)
    wc = TWO_PI * f / SR
    index0 = 0.8 + 1.6 * vel
    ki = math.exp(-1.0 / (0.35 * SR))
    kt = math.exp(-1.0 / (0.04 * SR))
    tine = 0.12 * vel if f * 14 < 16000 else 0.0
    out = [0.0] * n
    index, tine_amp = index0, tine
    sin = math.sin
    for i in range(n):
        ph = wc * i
        out[i] = sin(ph + index * sin(ph)) + tine_amp * sin(14.0 * ph)
        index *= ki
        tine_amp *= kt
    env = times(decay(n, 1.6, 0.002), adsr(n, gate, 0.001, 0.01, 1.0, 0.25))
    return tuple(scaled(times(out, env), vel))


@lru_cache(maxsize=None)
def glock(midi, vel, length=2.2):
    """Glockenspiel: the inharmonic partials of a struck bar, each with its
    own decay, and a soft mallet click."""
    f = freq(midi)
    n = samples(length)
    out = [0.0] * n
    for ratio, amp, tau in ((1.0, 1.0, 0.9), (2.756, 0.3, 0.35), (5.404, 0.12, 0.12)):
        if f * ratio > 16000:
            continue
        w = TWO_PI * f * ratio / SR
        k = math.exp(-1.0 / (tau * SR))
        part = [amp * math.sin(w * i) * k ** i for i in range(n)]
        out = list(map(add, out, part))
    click = times(onepole_lp(noise(samples(0.004)), 3000.0), decay(samples(0.004), 0.001))
    out = mixed(out, scaled(click, 0.15))
    env = adsr(n, n - samples(0.05), 0.001, 0.001, 1.0, 0.04)
    return tuple(scaled(times(out, env), 0.5 * vel))


@lru_cache(maxsize=None)
def pluck(midi, gate, vel, bright=0.5, ring=1.5, damp=0.08):
    """Karplus-Strong string: a noise burst circulating in a delay line of one
    period, softened a little on every pass. bright (0..1) filters the burst,
    ring is the time to fall by 60 dB; the string is damped at note-off."""
    f = freq(midi)
    n = gate + samples(damp * 2 + 0.02)
    period = SR / f - 0.5  # the two-point average delays by half a sample
    length = int(period)
    frac = period - length
    if frac < 0.1:
        length -= 1
        frac += 1.0
    c = (1.0 - frac) / (1.0 + frac)  # first-order all-pass for the fraction
    burst = onepole_lp(noise(length), 400.0 + 9000.0 * bright * bright)
    mean = sum(burst) / length
    burst = [v - mean for v in burst]
    peak = max(abs(v) for v in burst) or 1.0
    line = [v / peak for v in burst]
    g = 0.001 ** (1.0 / (ring * f))
    out = [0.0] * n
    idx = 0
    last = ap_in = ap_out = 0.0
    for i in range(n):
        cur = line[idx]
        s = g * 0.5 * (cur + last)
        last = cur
        ap_out = c * s + ap_in - c * ap_out
        ap_in = s
        line[idx] = ap_out
        out[i] = cur
        idx += 1
        if idx == length:
            idx = 0
    env = adsr(n, gate, 0.0005, 0.01, 1.0, damp)
    return tuple(scaled(times(out, env), vel))


@lru_cache(maxsize=None)
def synth_bass(midi, gate, vel):
    """Funky synth bass: saw and square through a resonant low-pass whose
    cutoff snaps open on every note, over a sine sub-octave."""
    f = freq(midi)
    n = _release_len(gate, 0.04)
    tone = mixed(osc("saw", f, n), scaled(osc("square", f, n, detune=-4), 0.5))
    k = math.exp(-1.0 / (0.07 * SR))
    cut = [180.0 + (900.0 + 1400.0 * vel) * k ** i for i in range(n)]
    tone = svf(tone, cut, q=2.2)
    sub = [math.sin(TWO_PI * f * 0.5 * i / SR) for i in range(n)]
    out = mixed(scaled(tone, 0.7), scaled(sub, 0.35))
    env = adsr(n, gate, 0.003, 0.15, 0.75, 0.04)
    return tuple(scaled(times(out, env), vel))


@lru_cache(maxsize=None)
def round_bass(midi, gate, vel, warmth=0.3):
    """Round bass: a sine with a little second and third harmonic and a
    plucked envelope."""
    f = freq(midi)
    n = _release_len(gate, 0.08)
    w = TWO_PI * f / SR
    sin = math.sin
    out = [sin(w * i) + warmth * sin(2 * w * i) + 0.3 * warmth * sin(3 * w * i) for i in range(n)]
    env = adsr(n, gate, 0.006, 0.35, 0.55, 0.08)
    return tuple(scaled(times(out, env), vel / (1.0 + 1.3 * warmth)))


@lru_cache(maxsize=None)
def soft_bass(midi, gate, vel):
    """Bowed-sounding low sine with a slow swell, for calm pieces."""
    f = freq(midi)
    n = _release_len(gate, 0.6)
    w = TWO_PI * f / SR
    out = [math.sin(w * i) + 0.12 * math.sin(2 * w * i) for i in range(n)]
    env = adsr(n, gate, 0.25, 0.5, 0.8, 0.6)
    return tuple(scaled(times(out, env), vel))


@lru_cache(maxsize=None)
def lead(midi, gate, vel):
    """Synth lead: two slightly detuned saws through a low-pass that closes
    after the attack, with a vibrato that grows on long notes."""
    f = freq(midi)
    n = _release_len(gate, 0.09)
    tone = mixed(osc("saw", f, n, 5.6, 0.14, 0.25), osc("saw", f, n, 5.6, 0.14, 0.25, 0.3, 7.0))
    k = math.exp(-1.0 / (0.12 * SR))
    tone = svf(tone, [1500.0 + 3000.0 * vel * k ** i for i in range(n)], q=1.1)
    env = adsr(n, gate, 0.006, 0.2, 0.7, 0.09)
    return tuple(scaled(times(tone, env), 0.5 * vel))


@lru_cache(maxsize=None)
def flute(midi, gate, vel, breath=0.05):
    """Flute: a near-sine with soft harmonics, a slow attack, a delayed
    vibrato and a breath of filtered noise."""
    f = freq(midi)
    n = _release_len(gate, 0.25)
    tone = osc("flute", f, n, 4.8, 0.12, 0.35)
    air = svf(noise(n), min(f * 2.0, 6000.0), q=0.8, mode="bp")
    out = mixed(tone, scaled(air, breath * 3.0))
    env = adsr(n, gate, 0.09, 0.2, 0.85, 0.25)
    return tuple(scaled(times(out, env), vel))


@lru_cache(maxsize=None)
def whistle(midi, gate, vel):
    """Tin whistle: brighter than the flute, quick to speak, little vibrato."""
    f = freq(midi)
    n = _release_len(gate, 0.04)
    tone = osc("whistle", f, n, 5.5, 0.07, 0.18)
    chiff = times(svf(noise(n), min(f * 3.0, 6500.0), q=1.0, mode="bp"), decay(n, 0.02))
    out = mixed(tone, scaled(chiff, 0.25))
    env = adsr(n, gate, 0.012, 0.08, 0.85, 0.04)
    return tuple(scaled(times(out, env), vel))


@lru_cache(maxsize=None)
def fiddle(midi, gate, vel):
    """Fiddle: a saw with vibrato through a body-ish low-pass."""
    f = freq(midi)
    n = _release_len(gate, 0.06)
    tone = osc("saw", f, n, 5.8, 0.16, 0.12)
    tone = onepole_lp(onepole_lp(tone, 2600.0), 3800.0)
    env = adsr(n, gate, 0.03, 0.1, 0.8, 0.06)
    return tuple(scaled(times(tone, env), 0.8 * vel))


@lru_cache(maxsize=None)
def reed(midi, gate, vel):
    """Accordion: two pulse-wave reeds tuned a few cents apart (the
    musette beat), lightly filtered."""
    f = freq(midi)
    n = _release_len(gate, 0.05)
    tone = mixed(osc("pulse", f, n, detune=-5.0), osc("pulse", f, n, phase=0.37, detune=5.0))
    tone = onepole_lp(tone, 2800.0)
    env = adsr(n, gate, 0.012, 0.05, 0.9, 0.05)
    return tuple(scaled(times(tone, env), 0.5 * vel))


@lru_cache(maxsize=None)
def strings(midi, gate, vel, attack=0.6, release=1.2, cutoff=1800.0):
    """String pad: three detuned saws with a slow attack and release."""
    f = freq(midi)
    n = _release_len(gate, release)
    tone = osc("saw", f, n, 4.5, 0.06, 0.5, 0.0, -8.0)
    tone = mixed(tone, osc("saw", f, n, 4.9, 0.06, 0.5, 0.41, 0.0))
    tone = mixed(tone, osc("saw", f, n, 5.3, 0.06, 0.5, 0.77, 8.0))
    tone = onepole_lp(onepole_lp(tone, cutoff), cutoff * 1.5)
    env = adsr(n, gate, attack, 0.5, 0.9, release)
    return tuple(scaled(times(tone, env), vel / 3.0))


# ------------------------------------------------------------------ drums

@lru_cache(maxsize=None)
def kick(vel, tight=0.28):
    """Kick: a sine swept down from about 170 Hz to 48 Hz, and a click."""
    n = samples(tight + 0.15)
    out = [0.0] * n
    ph = 0.0
    k = math.exp(-1.0 / (0.035 * SR))
    sweep = 120.0
    for i in range(n):
        ph += TWO_PI * (48.0 + sweep) / SR
        sweep *= k
        out[i] = math.sin(ph)
    out = times(out, decay(n, tight, 0.001))
    click = times(onepole_lp(noise(samples(0.003)), 4000.0), decay(samples(0.003), 0.001))
    return tuple(scaled(mixed(out, scaled(click, 0.4)), vel))


@lru_cache(maxsize=None)
def snare(vel):
    """Snare: two drum-head tones and a rattle of high-passed noise."""
    n = samples(0.28)
    w1, w2 = TWO_PI * 185.0 / SR, TWO_PI * 330.0 / SR
    k1, k2 = math.exp(-1.0 / (0.05 * SR)), math.exp(-1.0 / (0.03 * SR))
    body = [0.6 * math.sin(w1 * i) * k1 ** i + 0.3 * math.sin(w2 * i) * k2 ** i for i in range(n)]
    rattle = times(highpass(noise(n), 1200.0), decay(n, 0.085))
    return tuple(scaled(mixed(body, scaled(rattle, 0.75)), vel))


@lru_cache(maxsize=None)
def clap(vel):
    """Hand clap: three quick noise bursts and a short band-passed tail."""
    n = samples(0.3)
    env = [0.0] * n
    for start in (0.0, 0.009, 0.018):
        s = samples(start)
        k = math.exp(-1.0 / (0.005 * SR))
        for i in range(s, min(n, s + samples(0.012))):
            env[i] = max(env[i], k ** (i - s))
    s = samples(0.027)
    k = math.exp(-1.0 / (0.11 * SR))
    for i in range(s, n):
        env[i] = max(env[i], 0.8 * k ** (i - s))
    tone = svf(noise(n), 1300.0, q=1.4, mode="bp")
    return tuple(scaled(times(tone, env), 1.4 * vel))


@lru_cache(maxsize=None)
def hat(vel, tau=0.03):
    """Hi-hat: noise twice differentiated (a steep tilt to the highs)."""
    n = samples(tau * 7 + 0.01)
    x = noise(n + 2)
    hi = [x[i + 2] - 2 * x[i + 1] + x[i] for i in range(n)]
    return tuple(scaled(times(hi, decay(n, tau, 0.0005)), 0.22 * vel))


@lru_cache(maxsize=None)
def crash(vel):
    n = samples(1.8)
    x = noise(n + 1)
    hi = [x[i + 1] - x[i] for i in range(n)]
    hi = onepole_lp(hi, 9000.0)
    return tuple(scaled(times(hi, decay(n, 0.55, 0.002)), 0.3 * vel))


@lru_cache(maxsize=None)
def shaker(vel):
    n = samples(0.11)
    x = noise(n + 1)
    hi = [x[i + 1] - x[i] for i in range(n)]
    env = adsr(n, samples(0.02), 0.018, 0.001, 1.0, 0.06)
    return tuple(scaled(times(hi, env), 0.16 * vel))


@lru_cache(maxsize=None)
def bodhran(vel, pitch=1.0):
    """Frame drum: a low swept sine with a soft thud of filtered noise;
    pitch above 1 is the hand pressing the skin."""
    n = samples(0.45)
    out = [0.0] * n
    ph = 0.0
    k = math.exp(-1.0 / (0.05 * SR))
    sweep = 45.0
    for i in range(n):
        ph += TWO_PI * (62.0 * pitch + sweep) / SR
        sweep *= k
        out[i] = math.sin(ph)
    out = times(out, decay(n, 0.2, 0.002))
    thud = times(onepole_lp(noise(n), 500.0), decay(n, 0.03))
    return tuple(scaled(mixed(out, scaled(thud, 1.2)), vel))


_CACHED = [_table, epiano, glock, pluck, synth_bass, round_bass, soft_bass, lead, flute,
           whistle, fiddle, reed, strings, kick, snare, clap, hat, crash, shaker, bodhran]


# ---------------------------------------------------------------- effects

def pingpong(send, delay_t, feedback, tone=4000.0):
    """Stereo ping-pong delay of a mono send: echoes alternate left and
    right, each one fainter and darker."""
    n = len(send)
    d = samples(delay_t)
    left = [0.0] * n
    right = [0.0] * n
    a = 1.0 - math.exp(-TWO_PI * tone / SR)
    lp = 0.0
    for i in range(d, n):
        back = right[i - d]
        lp += a * (back - lp)
        left[i] = send[i - d] + feedback * lp
        right[i] = left[i - d]
    return left, right


def reverb(send, decay_t=2.2, damping=3500.0, predelay=0.02, width=0.7):
    """Feedback-delay-network reverb of a mono send, run at half the sample
    rate (a reverb tail holds nothing above 11 kHz worth the time): four
    delay lines mixed by a Householder matrix, damped by low-passes."""
    half = SR // 2
    m = len(send) // 2
    x = [(send[2 * i] + send[2 * i + 1]) * 0.5 for i in range(m)]
    pre = samples(predelay) // 2
    x = [0.0] * pre + x[: m - pre]
    # Two all-pass diffusers smear the input before the network.
    for length, g in ((113, 0.6), (337, 0.6)):
        buf = [0.0] * length
        out = [0.0] * m
        j = 0
        for i in range(m):
            delayed = buf[j]
            v = x[i] + g * delayed
            out[i] = delayed - g * v
            buf[j] = v
            j = j + 1 if j + 1 < length else 0
        x = out
    lengths = (1031, 1327, 1523, 1871)
    gains = [10.0 ** (-3.0 * ln / (half * decay_t)) for ln in lengths]
    lines = [[0.0] * ln for ln in lengths]
    l0, l1, l2, l3 = lines
    n0, n1, n2, n3 = lengths
    g0, g1, g2, g3 = gains
    a = 1.0 - math.exp(-TWO_PI * damping / half)
    j0 = j1 = j2 = j3 = 0
    f0 = f1 = f2 = f3 = 0.0
    out_l = [0.0] * m
    out_r = [0.0] * m
    for i in range(m):
        v0, v1, v2, v3 = l0[j0], l1[j1], l2[j2], l3[j3]
        f0 += a * (v0 - f0)
        f1 += a * (v1 - f1)
        f2 += a * (v2 - f2)
        f3 += a * (v3 - f3)
        s = (f0 + f1 + f2 + f3) * 0.5
        inp = x[i]
        l0[j0] = inp + g0 * (f0 - s)
        l1[j1] = inp + g1 * (f1 - s)
        l2[j2] = inp + g2 * (f2 - s)
        l3[j3] = inp + g3 * (f3 - s)
        out_l[i] = v0 + width * v2 - (1 - width) * v1
        out_r[i] = v1 + width * v3 - (1 - width) * v0
        j0 = j0 + 1 if j0 + 1 < n0 else 0
        j1 = j1 + 1 if j1 + 1 < n1 else 0
        j2 = j2 + 1 if j2 + 1 < n2 else 0
        j3 = j3 + 1 if j3 + 1 < n3 else 0
    return _upsample(out_l, len(send)), _upsample(out_r, len(send))


def _upsample(x, n):
    out = [0.0] * n
    last = len(x) - 1
    for i in range(n):
        k = i >> 1
        if i & 1 and k < last:
            out[i] = 0.5 * (x[k] + x[k + 1])
        elif k <= last:
            out[i] = x[k]
    return out


# -------------------------------------------------------------------- mix

class Mix:
    """A stereo mix bus with a reverb send and a delay send, both mono."""

    def __init__(self, length):
        self.n = samples(length)
        self.left = array.array("d", bytes(8 * self.n))
        self.right = array.array("d", bytes(8 * self.n))
        self.rev = array.array("d", bytes(8 * self.n))
        self.dly = array.array("d", bytes(8 * self.n))

    def add(self, sound, t, gain=1.0, pan=0.0, rev=0.0, dly=0.0):
        """Adds a mono sound at time t; pan from -1 (left) to 1 (right) with
        constant power."""
        start = samples(t)
        if start >= self.n or not sound:
            return
        start = max(0, start)
        end = min(self.n, start + len(sound))
        sound = sound[: end - start]
        angle = (pan + 1.0) * math.pi / 4.0
        for bus, g in ((self.left, gain * math.cos(angle) * math.sqrt(2.0)),
                       (self.right, gain * math.sin(angle) * math.sqrt(2.0)),
                       (self.rev, gain * rev), (self.dly, gain * dly)):
            if g != 0.0:
                bus[start:end] = array.array("d", map(add, bus[start:end], [v * g for v in sound]))

    def render(self, reverb_args=None, delay_args=None, rev_gain=1.0, dly_gain=1.0):
        """The finished stereo signal: dry plus effect returns, DC removed,
        transients gently limited, peak at -1.5 dBFS, edges faded."""
        left, right = list(self.left), list(self.right)
        if delay_args and any(self.dly):
            dl, dr = pingpong(list(self.dly), *delay_args)
            left = mixed(left, scaled(dl, dly_gain))
            right = mixed(right, scaled(dr, dly_gain))
            # The delay's echoes also reach the reverb, as in a studio.
            self.rev = array.array("d", map(add, self.rev, [0.3 * (a + b) for a, b in zip(dl, dr)]))
        if reverb_args is not None and any(self.rev):
            rl, rr = reverb(list(self.rev), *reverb_args)
            left = mixed(left, scaled(rl, rev_gain))
            right = mixed(right, scaled(rr, rev_gain))
        left, right = _dc_block(left), _dc_block(right)
        peak = max(max(map(abs, left)), max(map(abs, right))) or 1.0
        # Bring the peak to 1.25 and bend everything above 0.8 softly back
        # under 1: only drum hits reach the knee, by about 2 dB.
        left = [_knee(v * 1.25 / peak) for v in left]
        right = [_knee(v * 1.25 / peak) for v in right]
        peak = max(max(map(abs, left)), max(map(abs, right))) or 1.0
        g = 10.0 ** (-1.5 / 20.0) / peak
        fade_in, fade_out = samples(0.005), samples(0.4)
        for ch in (left, right):
            for i in range(len(ch)):
                ch[i] *= g
            for i in range(fade_in):
                ch[i] *= i / fade_in
            for i in range(fade_out):
                ch[-1 - i] *= i / fade_out
        return left, right


def _knee(v, t=0.8):
    a = abs(v)
    if a <= t:
        return v
    bent = t + (1.0 - t) * math.tanh((a - t) / (1.0 - t))
    return bent if v > 0 else -bent


def _dc_block(x, r=0.9995):
    out = [0.0] * len(x)
    prev_x = prev_y = 0.0
    for i, v in enumerate(x):
        prev_y = v - prev_x + r * prev_y
        prev_x = v
        out[i] = prev_y
    return out


def write_wav(path, left, right):
    """16-bit stereo PCM at 44.1 kHz, samples rounded to nearest."""
    pcm = array.array("h", [0]) * (2 * len(left))
    for i, (a, b) in enumerate(zip(left, right)):
        pcm[2 * i] = max(-32767, min(32767, int(round(a * 32767.0))))
        pcm[2 * i + 1] = max(-32767, min(32767, int(round(b * 32767.0))))
    if sys.byteorder == "big":
        pcm.byteswap()
    with wave.open(str(path), "wb") as out:
        out.setnchannels(2)
        out.setsampwidth(2)
        out.setframerate(SR)
        out.writeframes(pcm.tobytes())
