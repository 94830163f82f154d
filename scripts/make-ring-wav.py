#!/usr/bin/env python3
"""Writes the ring of an incoming call, calls/wav/call.wav: two short bursts
of a 440 Hz + 480 Hz pair (the familiar ring tone), 8 kHz, 8-bit mono, made
here rather than taken from anywhere.

    python3 scripts/make-ring-wav.py [OUTPUT]
"""
import math
import struct
import sys
import wave

RATE = 8000
BURST_S = 0.4
GAP_S = 0.2
TAIL_S = 0.6


def samples():
    out = bytearray()
    for burst in range(2):
        n = int(RATE * BURST_S)
        for i in range(n):
            t = i / RATE
            fade = min(1.0, i / 80, (n - i) / 80)  # no clicks at the edges
            v = 0.5 * (math.sin(2 * math.pi * 440 * t) + math.sin(2 * math.pi * 480 * t)) * fade
            out.append(128 + int(100 * v))
        out.extend(b"\x80" * int(RATE * (GAP_S if burst == 0 else TAIL_S)))
    return bytes(out)


def main():
    path = sys.argv[1] if len(sys.argv) > 1 else "calls/wav/call.wav"
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(1)
        w.setframerate(RATE)
        w.writeframes(samples())


if __name__ == "__main__":
    main()
