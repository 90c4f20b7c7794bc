#!/usr/bin/env python3
"""Writes the demo set's MIDI tune: a short waltz in C major, melody and bass on two channels.

Usage: make_demo_midi.py OUTPUT.mid
A standard MIDI file of format 0, 480 ticks per quarter note, 132 quarter notes per minute.
"""
import struct
import sys

TICKS = 480
TEMPO_US = 60_000_000 // 132

# (note, quarters) pairs; 0 is a rest.
MELODY = [
    (67, 2), (72, 1), (76, 2), (72, 1), (74, 2), (71, 1), (67, 3),
    (69, 2), (72, 1), (77, 2), (74, 1), (76, 2), (72, 1), (72, 3),
    (79, 2), (76, 1), (77, 2), (74, 1), (76, 1), (74, 1), (71, 1), (72, 3),
]
# One root note a bar (three quarters), twelve bars like the melody.
BASS = [(48, 3), (48, 3), (43, 3), (48, 3),
        (41, 3), (41, 3), (48, 3), (48, 3),
        (48, 3), (41, 3), (43, 3), (48, 3)]
assert sum(q for _, q in MELODY) == sum(q for _, q in BASS)


def variable_length(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.insert(0, (value & 0x7F) | 0x80)
        value >>= 7
    return bytes(out)


def note_events(part, channel, velocity):
    events, time = [], 0
    for note, quarters in part:
        length = quarters * TICKS
        if note:
            events.append((time, bytes([0x90 | channel, note, velocity])))
            events.append((time + length - 20, bytes([0x80 | channel, note, 0])))
        time += length
    return events


def track():
    events = [(0, b"\xFF\x51\x03" + TEMPO_US.to_bytes(3, "big")),
              (0, b"\xFF\x03" + bytes([len(b"Kestrel waltz")]) + b"Kestrel waltz"),
              (0, bytes([0xC0, 0])),    # melody: acoustic grand piano
              (0, bytes([0xC1, 32]))]   # bass: acoustic bass
    events += note_events(MELODY, 0, 96) + note_events(BASS, 1, 72)
    events.sort(key=lambda event: event[0])
    data, previous = b"", 0
    for time, message in events:
        data += variable_length(time - previous) + message
        previous = time
    data += variable_length(TICKS) + b"\xFF\x2F\x00"
    return b"MTrk" + struct.pack(">I", len(data)) + data


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    header = b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS)
    with open(sys.argv[1], "wb") as out:
        out.write(header + track())


if __name__ == "__main__":
    main()
