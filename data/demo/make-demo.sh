#!/usr/bin/env bash
# Regenerates demo.mp3: a ~35 s synthesized tune (C - G - Am - F) with
# plucked arpeggios, a soft pad, a bass line and a bell-like melody.
# Pure-Python synthesis with no randomness, so the output is reproducible.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

for tool in python3 lame mpg123; do
    command -v "$tool" >/dev/null 2>&1 || { echo "error: '$tool' not found" >&2; exit 1; }
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

python3 - "$tmp/demo.wav" <<'PY'
import math, struct, sys, wave
from operator import add

RATE = 44100
BEAT = 60.0 / 96            # 96 bpm, 4/4
BAR = 4 * BEAT
TAIL = 2.5                  # let the last chord ring out
LENGTH = int((13 * BAR + TAIL) * RATE)

left = [0.0] * LENGTH
right = [0.0] * LENGTH

def freq(midi):
    return 440.0 * 2 ** ((midi - 69) / 12)

def tone(f, dur, partials, attack, release, hold=None):
    """Additive note: partials are (ratio, gain, decay time in s or None).

    The note sounds for `dur` seconds (or `hold` when the sustain should
    stop earlier), then releases linearly so nothing ends with a click.
    """
    hold = dur if hold is None else hold
    n = int((hold + release) * RATE)
    out = [0.0] * n
    for ratio, gain, tau in partials:
        fh = f * ratio
        if fh > 16000:          # keep clear of the MP3 lowpass
            continue
        w = 2 * math.pi * fh / RATE
        k = 0.0 if tau is None else 1.0 / (tau * RATE)
        out = list(map(add, out, [gain * math.sin(w * i) * math.exp(-k * i) for i in range(n)]))
    a = max(1, int(attack * RATE))
    h = int(hold * RATE)
    r = max(1, n - h)
    for i in range(min(a, n)):
        out[i] *= i / a
    for i in range(h, n):
        out[i] *= 1.0 - (i - h) / r
    return out

def place(note, start, gain, pan):
    """Mix a note in at `start` seconds; pan -1 (left) .. 1 (right), constant power."""
    s = int(start * RATE)
    if s >= LENGTH:
        return
    note = note[:LENGTH - s]
    angle = (pan + 1) * math.pi / 4
    gl, gr = gain * math.cos(angle), gain * math.sin(angle)
    e = s + len(note)
    left[s:e] = map(add, left[s:e], [x * gl for x in note])
    right[s:e] = map(add, right[s:e], [x * gr for x in note])

# Chords as (root for arpeggio/bass, third in semitones).
CHORDS = {"C": (48, 4), "G": (43, 4), "Am": (45, 3), "F": (41, 4)}
PROGRESSION = ["C", "G", "Am", "F"] * 3 + ["C"]

PLUCK = [(1, 1.0, 0.55), (2, 0.45, 0.30), (3, 0.20, 0.20), (4, 0.10, 0.15), (5, 0.05, 0.10)]
BASS = [(1, 1.0, 1.6), (2, 0.45, 0.8), (3, 0.15, 0.5)]
PAD = [(1, 1.0, None), (2, 0.18, None), (3, 0.05, None)]
BELL = [(1, 1.0, 0.9), (2, 0.30, 0.5), (3, 0.12, 0.35), (4.01, 0.06, 0.25)]

cache = {}
def cached(key, *args, **kw):
    if key not in cache:
        cache[key] = tone(*args, **kw)
    return cache[key]

for bar, name in enumerate(PROGRESSION):
    root, third = CHORDS[name]
    t0 = bar * BAR
    last = bar == len(PROGRESSION) - 1

    # Eighth-note arpeggio; the final bar is one strummed chord instead.
    if last:
        for j, off in enumerate((0, 7, 12, 12 + third, 19)):
            m = root + off
            place(cached(("pluck-long", m), freq(m), 3.5, PLUCK, 0.005, 0.8),
                  t0 + 0.03 * j, 0.20, -0.35)
    else:
        for j, off in enumerate((0, 7, 12, 12 + third, 19, 12 + third, 12, 7)):
            m = root + off
            accent = 0.22 if j % 2 == 0 else 0.17
            place(cached(("pluck", m), freq(m), 1.2, PLUCK, 0.004, 0.3),
                  t0 + j * BEAT / 2, accent, -0.35)

    # Bass: root on beats 1 and 3 (one long note on the last bar).
    b = root - 12
    if last:
        place(cached(("bass-long", b), freq(b), 3.5, BASS, 0.01, 0.8), t0, 0.30, 0.0)
    else:
        for beat in (0, 2):
            place(cached(("bass", b), freq(b), 2 * BEAT, BASS, 0.01, 0.08, 2 * BEAT - 0.08),
                  t0 + beat * BEAT, 0.30, 0.0)

    # Pad from bar 5: slightly detuned left/right for width.
    if bar >= 4:
        hold = BAR + (1.5 if last else 0.1)
        for m in (root + 12, root + 12 + third, root + 19):
            for pan, detune in ((-0.8, 0.998), (0.8, 1.002)):
                place(tone(freq(m) * detune, hold, PAD, 0.45, 0.7), t0, 0.035, pan)

# Melody (midi note, beats) from bar 5; 12 pitches = rest.
MELODY = [
    (76, 1), (74, .5), (72, .5), (79, 1.5), (76, .5),     # C
    (74, 1), (71, 1), (74, 1), (79, 1),                   # G
    (72, 1.5), (76, .5), (81, 1), (79, 1),                # Am
    (77, 1), (76, .5), (74, .5), (72, 2),                 # F
    (79, 1), (76, .5), (79, .5), (84, 1.5), (83, .5),     # C
    (83, 1), (81, .5), (79, .5), (74, 2),                 # G
    (76, 1), (81, 1), (79, 1), (76, 1),                   # Am
    (77, 1), (81, 1), (79, 1), (74, 1),                   # F
    (72, 4),                                              # C
]
melody = [0.0] * LENGTH
t = 4 * BAR
for m, beats in MELODY:
    dur = beats * BEAT
    note = tone(freq(m), dur, BELL, 0.008, 0.25 if beats < 4 else 1.5)
    s = int(t * RATE)
    e = min(LENGTH, s + len(note))
    melody[s:e] = map(add, melody[s:e], note[:e - s])
    t += dur

# Melody slightly right, with ping-pong echoes a dotted eighth apart.
delay = int(0.75 * BEAT * RATE)
gl, gr = math.cos(math.pi * 0.3), math.sin(math.pi * 0.3)
left[:] = map(add, left, [x * 0.26 * gl for x in melody])
right[:] = map(add, right, [x * 0.26 * gr for x in melody])
for k, g in ((1, 0.10), (2, 0.06), (3, 0.035)):
    d = k * delay
    dst = left if k % 2 else right
    dst[d:] = map(add, dst[d:], [x * g for x in melody[:LENGTH - d]])

# Short fade-in, long fade-out, then normalise the peak to -3 dBFS.
fade_in = int(0.3 * RATE)
fade_out = int(3.0 * RATE)
for i in range(fade_in):
    g = i / fade_in
    left[i] *= g
    right[i] *= g
for i in range(fade_out):
    g = 0.5 + 0.5 * math.cos(math.pi * i / fade_out)
    j = LENGTH - fade_out + i
    left[j] *= g
    right[j] *= g

peak = max(max(map(abs, left)), max(map(abs, right)))
scale = 10 ** (-3 / 20) / peak * 32767
frames = bytearray()
pack = struct.Struct("<hh").pack
for l, r in zip(left, right):
    frames += pack(round(l * scale), round(r * scale))

with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(2)
    w.setsampwidth(2)
    w.setframerate(RATE)
    w.writeframes(bytes(frames))
PY

lame --quiet --noreplaygain -b 128 --cbr -m j --id3v1-only \
    --tt "NorlPlayer Demo" --ta "NorlPlayer" --ty 2026 --tc "Synthesized demo tune" \
    "$tmp/demo.wav" "$here/demo.mp3"

mpg123 -t "$here/demo.mp3" >/dev/null 2>&1 || { echo "error: demo.mp3 does not decode" >&2; exit 1; }
echo "wrote $here/demo.mp3 ($(stat -c %s "$here/demo.mp3") bytes)"
