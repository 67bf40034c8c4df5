#!/usr/bin/env python3
"""Writes the two effect sounds of data/tools/ (16-bit PCM mono 22050 Hz).

a.wav: a short soft "pop" after a command (extract, delete mark, dialogs).
b.wav: a rising two-note chime after files were dropped or added.
Run from the repository root: python3 scripts/make-effect-sounds.py
"""
import math
import struct
import wave

RATE = 22050


def tone(freqs, seconds, decay, start=0.0, gain=0.3):
    """Samples of a bell-like tone: partials with an exponential decay."""
    samples = []
    for i in range(int(seconds * RATE)):
        t = i / RATE
        attack = min(1.0, t / 0.004)  # no click at the start
        env = attack * math.exp(-t * decay)
        value = sum(a * math.sin(2 * math.pi * f * t) for f, a in freqs)
        samples.append(gain * env * value)
    return [0.0] * int(start * RATE) + samples


def mix(*tracks):
    out = [0.0] * max(len(t) for t in tracks)
    for track in tracks:
        for i, v in enumerate(track):
            out[i] += v
    return out


def fade_out(samples, seconds=0.02):
    n = int(seconds * RATE)
    for i in range(n):
        samples[-n + i] *= 1.0 - i / n
    return samples


def write(path, samples):
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(b"".join(
            struct.pack("<h", int(max(-1.0, min(1.0, v)) * 32767)) for v in samples))


def main():
    pop = tone([(1046.5, 1.0), (2093.0, 0.25), (3139.5, 0.08)], 0.16, 28)
    write("data/tools/a.wav", fade_out(pop))
    low = tone([(783.99, 1.0), (1567.98, 0.2)], 0.30, 14, gain=0.22)
    high = tone([(1174.66, 1.0), (2349.32, 0.2)], 0.24, 16, start=0.09, gain=0.22)
    write("data/tools/b.wav", fade_out(mix(low, high)))


if __name__ == "__main__":
    main()
