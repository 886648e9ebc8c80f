#!/usr/bin/env python3
"""Composes the four built-in tracks and writes each as a 16-bit stereo WAV
file at 44.1 kHz:

  step-out.wav          "Step Out": an A dorian funk groove, 116 bpm
  brightsunray.wav      "Brightsunray": a sunny D major pop tune, 124 bpm
  merry.wav             "Merry": a G major jig in 6/8, 116 dotted crotchets
  the-silent-river.wav  "The Silent River": a calm F major harp piece, 76 bpm

usage: compose.py OUTDIR [PIECE ...]   (PIECE is a file stem above)

Every piece starts its noise generator from its own seed, so a piece comes
out the same whether it is made alone or with the others."""

import pathlib
import sys

import synth
from synth import Mix, note

# ----------------------------------------------------------------- helpers

QUALITIES = {
    "": (0, 4, 7), "m": (0, 3, 7), "7": (0, 4, 7, 10), "m7": (0, 3, 7, 10),
    "maj7": (0, 4, 7, 11), "9": (0, 4, 7, 10, 14), "m9": (0, 3, 7, 10, 14),
    "6": (0, 4, 7, 9), "sus4": (0, 5, 7), "7sus4": (0, 5, 7, 10), "add9": (0, 4, 7, 14),
}


class Chord:
    def __init__(self, name):
        i = 2 if len(name) > 1 and name[1] in "#b" else 1
        self.name = name
        self.root = note(name[:i] + "0") - 12  # pitch class 0..11
        self.intervals = QUALITIES[name[i:]]

    def has(self, interval):
        return interval in self.intervals

    @property
    def third(self):
        for i in (4, 3, 5, 2):
            if self.has(i):
                return i
        return 7

    @property
    def seventh(self):
        for i in (10, 11, 9):
            if self.has(i):
                return i
        return 12

    def root_in(self, low):
        """The root's lowest MIDI note at or above low."""
        return low + (self.root - low) % 12

    def voicing(self, low, skip_root=False, count=None):
        """Chord tones in close position from low upwards."""
        tones = [self.root_in(low) if iv == 0 else low + (self.root + iv - low) % 12
                 for iv in self.intervals if not (skip_root and iv == 0)]
        tones = sorted(set(tones))
        return tones[:count] if count else tones


def melody(text, bar_units):
    """Parses "E5:2 r:1 G5:3 | ..." into (position, midi, length) in grid
    units; every bar must fill exactly bar_units."""
    events, pos = [], 0.0
    for number, bar in enumerate(text.split("|")):
        if not bar.strip():
            continue
        start = pos
        for token in bar.split():
            name, length = token.split(":")
            if name != "r":
                events.append((pos, note(name), float(length)))
            pos += float(length)
        if abs(pos - start - bar_units) > 1e-9:
            raise ValueError(f"bar {number} lasts {pos - start} units, not {bar_units}: {bar}")
    return events


def vq(v):
    """Velocity rounded to 1/20, so that repeated notes share one rendering."""
    return round(max(0.05, min(1.0, v)) * 20) / 20


def gate_samples(seconds):
    # Gates rounded to 5 ms: inaudible, and again more cache hits.
    return synth.samples(round(seconds / 0.005) * 0.005)


class Grid:
    """Musical time: bar and grid unit to seconds, with optional swing that
    delays every odd unit by a fraction of a unit."""

    def __init__(self, bpm, beats_per_unit, units_per_bar, swing=0.0, start=0.2):
        self.unit = 60.0 / bpm * beats_per_unit
        self.units_per_bar = units_per_bar
        self.bar = self.unit * units_per_bar
        self.swing = swing
        self.start = start

    def t(self, bar, pos=0.0):
        odd = int(pos) % 2 == 1 and pos == int(pos)
        return self.start + bar * self.bar + pos * self.unit + (self.swing * self.unit if odd else 0.0)


def jitter(rng, t, amount=0.004):
    """A player's timing is not a machine's: a few milliseconds either way."""
    return t + rng.uniform(-amount, amount)


def hits(pattern):
    """Drum pattern "X.x.o..." to (step, velocity): X loud, x normal, o ghost."""
    levels = {"X": 1.0, "x": 0.75, "o": 0.4}
    return [(i, levels[c]) for i, c in enumerate(pattern) if c in levels]


# ---------------------------------------------------------------- Step Out

def step_out():
    """An upbeat funk groove in A dorian at 116 bpm: four-on-the-floor kick,
    claps, sixteenth hats with open hats on the off-beats, a slapping synth
    bass, electric-piano stabs and a saw lead, a string lift in the middle."""
    synth.reset(1)
    rng = synth.rng()
    g = Grid(116, 0.25, 16, swing=0.1)
    chords = (["Am7", "D9"] * 2 + ["Am7", "D9"] * 4 + ["Fmaj7", "G6", "Em7", "D9"]
              + ["Am7", "D9"] * 2 + ["Am9"])
    lead_a = """r:2 E5:2 G5:2 A5:3 G5:1 E5:2 D5:2 E5:2 | r:2 A4:2 C5:2 D5:4 r:2 F#5:2 E5:2 |
                r:2 E5:2 G5:2 A5:3 C6:1 B5:2 A5:2 G5:2 | A5:6 r:2 G5:1 A5:1 G5:2 E5:4 |
                r:2 C6:2 B5:2 A5:2 G5:2 A5:2 r:2 E5:2 | G5:3 A5:3 G5:2 F#5:4 D5:4 |
                E5:2 G5:2 r:2 A5:2 r:2 A5:2 C6:2 D6:2 | E6:6 D6:2 C6:2 A5:6 |"""
    lead_b = """A5:4 G5:2 E5:2 C5:4 E5:4 | D5:4 E5:2 G5:6 r:4 |
                B5:4 A5:2 G5:2 E5:4 G5:4 | A5:8 r:4 E5:2 G5:2 |"""
    lead_a2 = """r:2 E5:2 G5:2 A5:3 G5:1 E5:2 D5:2 E5:2 | r:2 A4:2 C5:2 D5:4 r:2 F#5:2 E5:2 |
                 E5:2 G5:2 r:2 A5:2 r:2 A5:2 C6:2 D6:2 | E6:4 D6:2 C6:2 A5:8 |
                 r:4 C6:2 B5:2 A5:8 |"""
    outro = len(chords) - 1
    mix = Mix(g.t(outro) + 3.2)

    def lead_line(text, first_bar):
        for pos, midi, length in melody(text, 16):
            bar = first_bar + int(pos // 16)
            p = pos % 16
            legato = 0.97 if length >= 4 else 0.8
            accent = 1.0 if p % 4 == 0 else 0.85
            sound = synth.lead(midi, gate_samples(length * g.unit * legato), vq(accent * rng.uniform(0.9, 1.0)))
            mix.add(sound, jitter(rng, g.t(bar, p), 0.003), 0.5, pan=0.12, rev=0.18, dly=0.22)

    lead_line(lead_a, 4)
    lead_line(lead_b, 12)
    lead_line(lead_a2, 16)

    bass_pattern = [(0, "R", 3, 1.0), (3, "O", 1, 0.7), (6, "7", 2, 0.75), (8, "R", 2, 0.95),
                    (10, "3", 1, 0.7), (11, "4", 1, 0.7), (12, "5", 2, 0.85), (14, "7", 2, 0.75)]
    for bar, name in enumerate(chords):
        ch = Chord(name)
        root = ch.root_in(note("E2"))
        if bar == outro:
            mix.add(synth.synth_bass(root - 12, gate_samples(2.0), 1.0), g.t(bar), 0.6)
            for m in ch.voicing(note("G3"), skip_root=True):
                mix.add(synth.epiano(m, gate_samples(2.6), 0.8), g.t(bar) + 0.01 * (m % 3), 0.3, pan=-0.2, rev=0.35)
            continue
        if bar >= 2:
            for pos, tone, length, vel in bass_pattern:
                offset = {"R": 0, "O": 12, "7": ch.seventh, "3": ch.third, "4": 5, "5": 7}[tone]
                sound = synth.synth_bass(root + offset, gate_samples(length * g.unit * 0.85), vq(vel * rng.uniform(0.92, 1.0)))
                mix.add(sound, jitter(rng, g.t(bar, pos), 0.002), 0.45)
        section_b = 12 <= bar < 16
        keys = ch.voicing(note("G3"), skip_root=True)
        if bar >= 2 and not section_b:
            for pos, length, vel in ((2, 2, 0.75), (7, 1, 0.6), (10, 3, 0.8), (15, 1, 0.55)):
                for k, m in enumerate(keys):
                    sound = synth.epiano(m, gate_samples(length * g.unit * 0.7), vq(vel))
                    mix.add(sound, g.t(bar, pos) + 0.004 * k, 0.26, pan=-0.25, rev=0.12)
        if section_b:
            for pos, length, vel in ((0, 8, 0.7), (10, 6, 0.6)):
                for k, m in enumerate(keys):
                    sound = synth.epiano(m, gate_samples(length * g.unit * 0.95), vq(vel))
                    mix.add(sound, g.t(bar, pos) + 0.006 * k, 0.2, pan=-0.25, rev=0.2)
            for k, m in enumerate(ch.voicing(note("E4"), count=4)):
                mix.add(synth.strings(m, gate_samples(g.bar * 0.95), 0.7, 0.25, 0.5, 2600.0),
                        g.t(bar), 0.14, pan=(-0.6, 0.6, -0.3, 0.3)[k], rev=0.4)

    kick = hits("X...x...X...x...")
    kick_turn = hits("X...x...X...x.o.")
    clap = hits("....X.......X...")
    ghosts = hits(".......o.o.....o")
    closed = hits("xo.oxo.oxo.oxo.o")
    open_hat = hits("..x...x...x...x.")
    fill = [(12, 0.5), (13, 0.6), (14, 0.75), (15, 0.9)]
    for bar in range(len(chords)):
        t = lambda p: jitter(rng, g.t(bar, p), 0.002)
        if bar == outro:
            mix.add(synth.kick(1.0), g.t(bar), 0.85)
            mix.add(synth.crash(0.9), g.t(bar), 0.5, pan=0.3, rev=0.3)
            break
        for pos, vel in (kick_turn if bar % 4 == 3 else kick):
            mix.add(synth.kick(vq(vel)), t(pos), 0.7)
        for pos, vel in closed:
            mix.add(synth.hat(vq(vel * rng.uniform(0.8, 1.0))), t(pos), 0.6, pan=0.35)
        if bar >= 1:
            for pos, vel in clap:
                mix.add(synth.clap(vel), t(pos), 0.6, pan=-0.05, rev=0.25)
        if bar >= 4:
            for pos, vel in open_hat:
                mix.add(synth.hat(vq(vel), 0.14), t(pos), 0.5, pan=0.35)
            for pos, vel in ghosts:
                mix.add(synth.snare(vel), t(pos), 0.3, pan=-0.1)
        if bar in (3, 11, 15, 19):
            for pos, vel in fill:
                mix.add(synth.snare(vel), t(pos), 0.5, pan=-0.1, rev=0.15)
        if bar in (4, 12, 16):
            mix.add(synth.crash(0.8), g.t(bar), 0.45, pan=0.3, rev=0.3)

    return mix.render(reverb_args=(1.5, 4500.0, 0.015), delay_args=(g.unit * 3, 0.35, 3500.0),
                      rev_gain=0.6, dly_gain=0.5)


# ------------------------------------------------------------ Brightsunray

GUITAR = {
    "D": ["D3", "A3", "D4", "F#4"],
    "A": ["A2", "E3", "A3", "C#4", "E4"],
    "A7": ["A2", "E3", "G3", "C#4", "E4"],
    "Bm": ["B2", "F#3", "B3", "D4", "F#4"],
    "G": ["G2", "B2", "D3", "G3", "B3", "G4"],
    "F#m": ["F#2", "C#3", "F#3", "A3", "C#4", "F#4"],
}


def brightsunray():
    """A bright pop tune in D major at 124 bpm: strummed steel-string guitar,
    a glockenspiel melody doubled an octave down by an electric piano, a
    round pulsing bass, claps and shaker, strings in the chorus."""
    synth.reset(2)
    rng = synth.rng()
    g = Grid(124, 0.5, 8)
    chords = (["D", "A"] + ["D", "A", "Bm", "G", "D", "A", "G", "A"]
              + ["G", "A", "F#m", "Bm", "G", "A", "D", "A7"] + ["D", "A", "G", "A"] + ["D"])
    tune = """A5:2 F#5:1 A5:1 D6:2 C#6:1 B5:1 | A5:3 E5:1 C#6:2 B5:1 A5:1 |
              B5:2 F#5:1 B5:1 D6:2 C#6:1 B5:1 | A5:3 G5:1 F#5:2 E5:2 |
              F#5:2 A5:1 D6:1 F#6:2 E6:1 D6:1 | E6:3 C#6:1 A5:2 B5:1 C#6:1 |
              D6:2 B5:1 G5:1 B5:2 A5:1 G5:1 | F#5:2 G5:1 F#5:1 E5:4 |
              B5:3 A5:1 G5:2 B5:2 | C#6:3 B5:1 A5:2 C#6:2 |
              A5:2 C#6:2 F#6:3 E6:1 | D6:4 B5:2 r:2 |
              D6:1 E6:1 D6:1 B5:1 G5:2 B5:2 | C#6:1 D6:1 C#6:1 A5:1 E5:2 C#6:2 |
              D6:2 F#6:2 A6:3 F#6:1 | E6:6 r:2 |
              A5:2 F#5:1 A5:1 D6:2 C#6:1 B5:1 | A5:3 E5:1 C#6:2 B5:1 A5:1 |
              D6:2 B5:1 G5:1 B5:2 A5:1 G5:1 | F#5:2 G5:1 F#5:1 E5:2 C#6:2 |
              D6:8 |"""
    intro_arp = """D5:1 F#5:1 A5:1 D6:1 A5:1 F#5:1 D5:1 F#5:1 |
                   C#5:1 E5:1 A5:1 C#6:1 A5:1 E5:1 C#5:1 E5:1 |"""
    last = len(chords) - 1
    mix = Mix(g.t(last) + 3.6)

    for pos, midi, length in melody(tune, 8):
        bar = 2 + int(pos // 8)
        t = jitter(rng, g.t(bar, pos % 8), 0.003)
        vel = vq((1.0 if pos % 2 == 0 else 0.85) * rng.uniform(0.9, 1.0))
        mix.add(synth.glock(midi, vel), t, 0.5, pan=0.2, rev=0.25, dly=0.18)
        gate = gate_samples(length * g.unit * (2.5 if bar == last else 0.9))
        mix.add(synth.epiano(midi - 12, gate, vq(vel * 0.7)), t, 0.2, pan=0.05, rev=0.2)
    for pos, midi, _ in melody(intro_arp, 8):
        mix.add(synth.glock(midi, 0.7), g.t(int(pos // 8), pos % 8), 0.4, pan=0.25, rev=0.3, dly=0.25)
    for k, m in enumerate(("D5", "F#5", "A5", "D6")):
        mix.add(synth.glock(note(m), 0.6), g.t(last, 2 + k * 0.5), 0.35, pan=0.3, rev=0.35, dly=0.3)

    strums = [(0, "D", 1.0), (2, "D", 0.8), (3, "U", 0.6), (5, "U", 0.65), (6, "D", 0.8), (7, "U", 0.6)]
    bass_pattern = [(0, 0, 2, 1.0), (2, 0, 1, 0.7), (3, 0, 1, 0.8), (4, 0, 2, 0.9), (6, 7, 1, 0.7), (7, 0, 1, 0.75)]
    for bar, name in enumerate(chords):
        ch = Chord(name)
        strings_ = [note(s) for s in GUITAR[name]]
        if bar == last:
            for k, m in enumerate(strings_):
                mix.add(synth.pluck(m, gate_samples(3.2), 0.8, 0.55, 3.0), g.t(bar) + 0.014 * k, 0.3, pan=-0.3, rev=0.3)
            mix.add(synth.round_bass(ch.root_in(note("D2")), gate_samples(2.5), 1.0), g.t(bar), 0.55)
            mix.add(synth.kick(1.0), g.t(bar), 0.7)
            mix.add(synth.crash(0.7), g.t(bar), 0.35, pan=0.35, rev=0.3)
            break
        for i, (step, direction, vel) in enumerate(strums):
            nxt = strums[i + 1][0] if i + 1 < len(strums) else 8
            gate = gate_samples((nxt - step) * g.unit)
            order = strings_ if direction == "D" else list(reversed(strings_))[:4]
            spread = 0.011 if direction == "D" else 0.008
            t0 = jitter(rng, g.t(bar, step), 0.003)
            for k, m in enumerate(order):
                v = vq(vel * (1.0 - 0.04 * k) * rng.uniform(0.9, 1.0))
                mix.add(synth.pluck(m, gate, v, 0.55, 1.6), t0 + spread * k, 0.32, pan=-0.3, rev=0.15)
        if bar < 2:
            continue
        root = ch.root_in(note("Bb1"))
        for step, offset, length, vel in bass_pattern:
            sound = synth.round_bass(root + offset, gate_samples(length * g.unit * 0.85), vq(vel * rng.uniform(0.93, 1.0)))
            mix.add(sound, jitter(rng, g.t(bar, step), 0.002), 0.5)
        chorus = 10 <= bar < 18
        for k, m in enumerate(ch.voicing(note("D4"), count=3)):
            mix.add(synth.strings(m, gate_samples(g.bar * 0.97), 0.6, 0.4, 0.6),
                    g.t(bar), 0.16 if chorus else 0.08, pan=(-0.5, 0.5, 0.0)[k], rev=0.35)
        t = lambda p: jitter(rng, g.t(bar, p), 0.002)
        for step in (0, 4) + ((5.5,) if chorus and bar % 2 else ()):
            mix.add(synth.kick(1.0 if step == 0 else 0.8), t(step), 0.7)
        for step in (2, 6):
            mix.add(synth.clap(0.9), t(step), 0.5, rev=0.25)
        for step in range(8):
            for half in (0.0, 0.5):
                mix.add(synth.shaker(vq((0.9 if half else 0.55) * rng.uniform(0.85, 1.0))), t(step + half), 0.55, pan=0.4)
        if chorus:
            for step in (2, 6):
                mix.add(synth.hat(0.8, 0.09), t(step), 0.45, pan=-0.4)
        if bar in (9, 17, 21):
            for step, vel in ((6, 0.6), (6.5, 0.7), (7, 0.8), (7.5, 0.95)):
                mix.add(synth.snare(vel), t(step), 0.4, rev=0.2)
        if bar in (2, 10, 18):
            mix.add(synth.crash(0.7), g.t(bar), 0.35, pan=0.35, rev=0.3)

    return mix.render(reverb_args=(2.0, 5000.0, 0.02), delay_args=(g.unit * 1.5, 0.32, 4500.0),
                      rev_gain=0.55, dly_gain=0.45)


# ------------------------------------------------------------------- Merry

G_MAJOR = [note(n) for n in ("G3", "A3", "B3", "C4", "D4", "E4", "F#4")]


def third_below(midi):
    """The note a diatonic third below in G major."""
    scale = sorted(m + 12 * o for m in G_MAJOR for o in range(-2, 5))
    i = scale.index(midi)
    return scale[i - 2]


def step_above(midi):
    scale = sorted(m + 12 * o for m in G_MAJOR for o in range(-2, 5))
    return scale[scale.index(midi) + 1]


def merry():
    """A cheerful jig in G major, 6/8 at 116 dotted crotchets, in the usual
    AABB form and a last A: tin whistle with grace-note cuts, a fiddle a
    third below on the repeats, accordion and bass in oom-pa-pa, bodhran
    and shaker; the quavers lilt, the first of each three a little long."""
    synth.reset(3)
    rng = synth.rng()
    beat = 60.0 / 116.0
    lilt = (0.0, 0.355, 0.68)  # where the three quavers of a beat fall
    start = 0.2

    def t(bar, eighth):
        b, s = divmod(eighth, 3)
        whole = int(s)
        frac = s - whole
        here = lilt[whole]
        after = lilt[whole + 1] if whole < 2 else 1.0
        return start + (bar * 2 + b) * beat + (here + frac * (after - here)) * beat

    part_a = """D5:1 G5:1 B5:1 D6:2 B5:1 | C6:1 E6:1 C6:1 G5:2 E5:1 |
                D5:1 G5:1 B5:1 D6:1 B5:1 G5:1 | A5:2 F#5:1 D5:2 F#5:1 |
                G5:1 B5:1 D6:1 G6:2 D6:1 | E6:1 C6:1 E6:1 G6:1 E6:1 C6:1 |
                B5:1 A5:1 G5:1 F#5:1 E5:1 F#5:1 |"""
    part_b = """E6:2 G6:1 E6:2 C6:1 | D6:2 B5:1 G5:2 B5:1 |
                C6:1 B5:1 A5:1 E6:2 C6:1 | D6:1 C6:1 B5:1 A5:2 F#5:1 |
                E6:1 F#6:1 G6:1 E6:1 D6:1 C6:1 | D6:1 B5:1 G5:1 B5:2 D6:1 |
                C6:1 B5:1 A5:1 F#5:1 A5:1 D6:1 |"""
    to_a, to_b, to_end = "G5:2 B5:1 G5:3 |", "G5:2 B5:1 G5:2 D6:1 |", "G5:6 |"
    back_to_a = "G5:3 r:2 B4:1 |"
    harm_a = ["G", "C", "G", "D", "G", "C", "D", "G"]
    harm_b = ["C", "G", "Am", "D", "C", "G", ("Am", "D"), "G"]
    # (first bar, tune, chords, fiddle harmony)
    sections = [(2, part_a + to_a, harm_a, False), (10, part_a + to_b, harm_a, True),
                (18, part_b + to_b, harm_b, False), (26, part_b + back_to_a, harm_b, True),
                (34, part_a + to_end, harm_a, True)]
    end_bar = 42
    mix = Mix(t(end_bar, 0) + 2.6)

    harmony = ["G", "D"]
    for first, tune, changes, with_fiddle in sections:
        harmony += changes
        for pos, midi, length in melody(tune, 6):
            bar = first + int(pos // 6)
            e = pos % 6
            at = jitter(rng, t(bar, e), 0.003)
            gate = gate_samples((t(bar, e + length) - t(bar, e)) * (0.92 if length < 3 else 0.97))
            vel = vq((1.0 if e % 3 == 0 else 0.8) * rng.uniform(0.9, 1.0))
            if length >= 2 and midi < note("G6"):
                cut = synth.whistle(step_above(midi), gate_samples(0.03), 0.6)
                mix.add(cut, at - 0.03, 0.4, pan=0.2, rev=0.2)
            mix.add(synth.whistle(midi, gate, vel), at, 0.4, pan=0.2, rev=0.2)
            if with_fiddle:
                low = third_below(midi) - 12
                mix.add(synth.fiddle(low, gate, vq(vel * 0.9)), jitter(rng, t(bar, e), 0.005), 0.3, pan=-0.35, rev=0.25)
    harmony.append("G")

    bodhran = [(0, 1.0, 1.0), (1, 0.3, 1.15), (2, 0.45, 1.0), (3, 0.8, 1.0), (4, 0.3, 1.15), (5, 0.5, 1.25)]
    for bar, change in enumerate(harmony):
        halves = change if isinstance(change, tuple) else (change, change)
        if bar == end_bar:
            ch = Chord(halves[0])
            for m in ch.voicing(note("G3")):
                mix.add(synth.reed(m, gate_samples(1.6), 0.9), t(bar, 0), 0.22, pan=-0.15, rev=0.3)
            mix.add(synth.round_bass(ch.root_in(note("E2")), gate_samples(1.5), 1.0, 0.5), t(bar, 0), 0.5)
            mix.add(synth.whistle(note("G5"), gate_samples(1.4), 0.9), t(bar, 0), 0.4, pan=0.2, rev=0.3)
            mix.add(synth.bodhran(1.0), t(bar, 0), 0.45, pan=0.1)
            break
        for half, name in enumerate(halves):
            ch = Chord(name)
            root = ch.root_in(note("E2"))
            bass = root if half == 0 or halves[0] != halves[1] else root + 7 - (12 if root + 7 > note("D3") else 0)
            e0 = 3 * half
            mix.add(synth.round_bass(bass, gate_samples(beat * 0.3), vq(rng.uniform(0.9, 1.0)), 0.5),
                    jitter(rng, t(bar, e0), 0.003), 0.4)
            for k, e in enumerate((e0 + 1, e0 + 2)):
                for m in ch.voicing(note("G3"), count=3):
                    mix.add(synth.reed(m, gate_samples(beat * 0.22), (0.6, 0.8)[k]), jitter(rng, t(bar, e), 0.003),
                            0.3, pan=-0.15, rev=0.15)
        for e, vel, pitch in bodhran:
            mix.add(synth.bodhran(vq(vel * rng.uniform(0.85, 1.0)), pitch), jitter(rng, t(bar, e), 0.003), 0.45, pan=0.1, rev=0.1)
        if bar >= 18:
            for e in range(6):
                mix.add(synth.shaker(vq((0.9 if e % 3 == 0 else 0.6) * rng.uniform(0.85, 1.0))),
                        jitter(rng, t(bar, e), 0.003), 0.8, pan=0.45)

    return mix.render(reverb_args=(1.3, 5000.0, 0.012), rev_gain=0.5)


# -------------------------------------------------------- The Silent River

def the_silent_river():
    """A calm, flowing piece in F major at 76 bpm: harp arpeggios rippling
    in quavers, a soft string pad and bowed bass, a flute melody in long
    breaths, and now and then a glockenspiel drop echoing away."""
    synth.reset(4)
    rng = synth.rng()
    g = Grid(76, 0.5, 8)
    bars = [("Fmaj7",), ("Dm7",), ("Fmaj7",), ("Dm7",), ("Bbmaj7",), ("Csus4", "C"),
            ("Am7",), ("Dm7",), ("Gm7",), ("C7sus4", "C7"), ("Bbmaj7",), ("Am7",),
            ("Gm7",), ("Csus4", "C"), ("Fadd9",)]
    tune = """E5:4 F5:2 G5:2 | A5:6 G5:1 F5:1 | D5:4 F5:2 A5:2 | G5:4 F5:2 E5:2 |
              E5:3 G5:1 C6:4 | A5:3 C6:1 A5:2 F5:2 | G5:4 Bb5:2 A5:1 G5:1 | F5:2 E5:6 |
              D6:4 C6:2 A5:2 | C6:4 A5:2 G5:2 | Bb5:4 A5:2 F5:2 | G5:4 E5:4 | F5:8 |"""
    last = len(bars) - 1
    mix = Mix(g.t(last) + 5.5)

    for pos, midi, length in melody(tune, 8):
        bar = 2 + int(pos // 8)
        held = 3.6 if bar == last else length * g.unit * 0.98
        vel = vq(rng.uniform(0.8, 0.9) + (0.1 if pos % 8 == 0 else 0.0))
        mix.add(synth.flute(midi, gate_samples(held), vel), jitter(rng, g.t(bar, pos % 8), 0.01),
                0.26, pan=0.1, rev=0.45, dly=0.12)

    arp = [0, 1, 2, 3, 4, 3, 2, 1]
    for bar, names in enumerate(bars):
        for half, name in enumerate(names):
            ch = Chord(name)
            root = ch.root_in(note("G2"))
            top = ch.seventh if ch.seventh != 12 else (14 if ch.has(14) else 7)
            harp = [root, root + 7, root + 12, root + 12 + ch.third, root + 12 + top]
            span = 8 // len(names)
            if bar == last:
                roll = [root, root + 7, root + 12, root + 14, root + 16, root + 19, root + 24]
                for k, m in enumerate(roll):
                    mix.add(synth.pluck(m, gate_samples(4.5), vq(0.8 - 0.04 * k), 0.35, 4.0, 0.5),
                            g.t(bar) + 0.07 * k, 0.5, pan=-0.4 + 0.12 * k, rev=0.5)
            else:
                for step in range(span):
                    e = half * span + step
                    m = harp[arp[e]]
                    vel = vq((0.85 if e % 4 == 0 else 0.65) * rng.uniform(0.9, 1.0))
                    mix.add(synth.pluck(m, gate_samples(1.3), vel, 0.35, 3.0, 0.4),
                            jitter(rng, g.t(bar, e), 0.006), 0.55, pan=-0.35 + 0.14 * arp[e], rev=0.4)
            length = span * g.unit + (3.0 if bar == last else 0.0)
            for k, m in enumerate(ch.voicing(note("A3"), count=4)):
                mix.add(synth.strings(m, gate_samples(length * 0.98), 0.55, 1.1, 1.6, 1400.0),
                        g.t(bar, half * span), 0.12, pan=(-0.6, 0.6, -0.25, 0.25)[k], rev=0.5)
            low = ch.root_in(note("C2"))
            mix.add(synth.soft_bass(low, gate_samples(length * 0.95), 0.8), g.t(bar, half * span), 0.2, rev=0.15)
        if bar in (3, 5, 7, 9, 11, 13):
            ch = Chord(bars[bar][0])
            drop = ch.voicing(note("C6"))[-1]
            mix.add(synth.glock(drop, 0.5), g.t(bar, 4), 0.14, pan=0.45, rev=0.6, dly=0.5)

    return mix.render(reverb_args=(3.4, 3200.0, 0.03, 0.8), delay_args=(g.unit * 3, 0.45, 3000.0),
                      rev_gain=0.7, dly_gain=0.45)


PIECES = {
    "step-out": step_out,
    "brightsunray": brightsunray,
    "merry": merry,
    "the-silent-river": the_silent_river,
}


def main(argv):
    if len(argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    out = pathlib.Path(argv[1])
    out.mkdir(parents=True, exist_ok=True)
    names = argv[2:] or list(PIECES)
    for name in names:
        if name not in PIECES:
            print(f"unknown piece {name!r}; pieces: {', '.join(PIECES)}", file=sys.stderr)
            return 2
    for name in names:
        left, right = PIECES[name]()
        synth.write_wav(out / f"{name}.wav", left, right)
        print(f"{name}.wav: {len(left) / synth.SR:.1f} s")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
