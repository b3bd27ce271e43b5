#!/usr/bin/env bash
# Regenerates the MP3 test fixtures in this directory.
# Output is reproducible: sox runs with -R (fixed RNG seed) and -D (no dither),
# and the random file comes from a hash chain, not from /dev/urandom.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

for tool in sox lame mpg123 python3; do
    command -v "$tool" >/dev/null 2>&1 || { echo "error: '$tool' not found" >&2; exit 1; }
done

tmp="$(mktemp -d)"
trap 'rm -rf "$tmp"' EXIT

synth() { # synth OUT.wav RATE CHANNELS EFFECTS...
    local out=$1 rate=$2 ch=$3; shift 3
    sox -R -D -n -r "$rate" -c "$ch" -b 16 "$out" "$@"
}

# -t: no Xing/Info frame, so every decoder sees the same frame count for CBR.
# --id3v1-only / --id3v2-only: exactly the tags each fixture asks for.
enc() { lame --quiet --noreplaygain "$@"; }

cd "$here"

# CBR 128k joint stereo with a full ID3v1.1 tag; the title fills all 30 bytes
# (no NUL terminator), which is the edge case tag readers get wrong.
title="Thirty Character Title 1234567"
[ ${#title} -eq 30 ] || { echo "error: title is ${#title} chars" >&2; exit 1; }
synth "$tmp/sine1k.wav" 44100 2 synth 3 sine 1000 vol 0.5
enc -b 128 --cbr -m j -t --id3v1-only \
    --tt "$title" --ta "Fixture Artist" --tl "Fixture Album" --ty 2024 \
    --tc "Fixture comment" --tn 7 --tg Jazz \
    "$tmp/sine1k.wav" sine-1k-cbr128-joint.mp3

# Same audio but as lame writes it by default: with the LAME Info frame
# (a silent first frame carrying encoder delay/padding) and no tags.
enc -b 128 --cbr -m j "$tmp/sine1k.wav" sine-1k-cbr128-info.mp3

synth "$tmp/mono.wav" 44100 1 synth 4 sine 440 vol 0.5
enc -b 64 --cbr -m m -t "$tmp/mono.wav" mono-cbr64.mp3

# 22.05 kHz makes lame emit MPEG-2 layer III; without --resample it would
# drop to 16 kHz at this bitrate.
synth "$tmp/22k.wav" 22050 2 synth 3 sine 660 vol 0.5
enc -b 32 --cbr --resample 22.05 -t "$tmp/22k.wav" mpeg2-22k.mp3

# Chord plus a sweep plus a noise burst, so VBR frame sizes really vary.
synth "$tmp/vbr.wav" 44100 2 \
    synth 5 sine 220 sine 277 sine 330 sine 100-8000 pinknoise \
    remix 1,2,3,4v0.6 2,3,4,5v0.6 \
    fade 0 5 1 vol 0.25
enc -V 2 "$tmp/vbr.wav" vbr-xing.mp3
enc -V 2 -t "$tmp/vbr.wav" vbr-noxing.mp3

# 70000 bytes of padding push the first audio frame past 64 kB.
synth "$tmp/short.wav" 44100 2 synth 1 sine 880 vol 0.5
enc -b 128 --cbr -t --id3v2-only --pad-id3v2-size 70000 \
    --tt "Big Tag" --ta "Fixture Artist" \
    "$tmp/short.wav" big-id3v2.mp3

synth "$tmp/one.wav" 44100 2 synth 1 sine 523.25 vol 0.5
enc -b 128 --cbr -t "$tmp/one.wav" one-second.mp3
synth "$tmp/two.wav" 44100 2 synth 2 sine 659.25 vol 0.5
enc -b 128 --cbr -t "$tmp/two.wav" two-seconds.mp3

# 1 kHz left, 100 Hz right, -18 dBFS so a 12 dB boost does not clip; plain stereo keeps
# the channels apart.
synth "$tmp/eq.wav" 44100 2 synth 1 sine 1000 sine 100 vol 0.125
enc -b 128 --cbr -m s -t "$tmp/eq.wav" eq-tones.mp3
# The same tones for 6 s, long enough to change the equalizer while they play.
synth "$tmp/eq-long.wav" 44100 2 synth 6 sine 1000 sine 100 vol 0.125
enc -b 64 --cbr --resample 44.1 -m s -t "$tmp/eq-long.wav" eq-tones-long.mp3

: > empty.mp3

python3 - <<'PY'
import hashlib

BITRATES = {  # (mpeg1?, index) -> kbit/s, layer III only
    True: [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320],
    False: [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160],
}
RATES = {3: [44100, 48000, 32000], 2: [22050, 24000, 16000], 0: [11025, 12000, 8000]}

def frames(data):
    """Yield (offset, length) of each layer III frame; data starts at a frame."""
    pos = 0
    while pos + 4 <= len(data):
        h = int.from_bytes(data[pos:pos + 4], "big")
        assert h >> 21 == 0x7FF, f"lost sync at {pos}"
        ver = (h >> 19) & 3
        mpeg1 = ver == 3
        kbps = BITRATES[mpeg1][(h >> 12) & 15]
        rate = RATES[ver][(h >> 10) & 3]
        pad = (h >> 9) & 1
        length = (144 if mpeg1 else 72) * kbps * 1000 // rate + pad
        yield pos, length
        pos += length

# Cut a tag-less CBR file inside the frame that holds its 60% mark.
src = open("two-seconds.mp3", "rb").read()
mark = len(src) * 6 // 10
for off, length in frames(src):
    if off <= mark < off + length:
        cut = off + length // 2
        break
open("truncated.mp3", "wb").write(src[:cut])

# 20 kB of SHA-256 counter-mode output: stable across Python versions.
out = bytearray()
i = 0
while len(out) < 20480:
    out += hashlib.sha256(b"norl-fixture-%d" % i).digest()
    i += 1
open("random-bytes.mp3", "wb").write(bytes(out[:20480]))
PY

# --- checks ----------------------------------------------------------------
fail() { echo "error: $*" >&2; exit 1; }

good=(sine-1k-cbr128-joint.mp3 sine-1k-cbr128-info.mp3 mono-cbr64.mp3
      mpeg2-22k.mp3 vbr-xing.mp3 vbr-noxing.mp3 big-id3v2.mp3
      one-second.mp3 two-seconds.mp3 eq-tones.mp3 eq-tones-long.mp3)
for f in "${good[@]}"; do
    log="$(mpg123 -t "$f" 2>&1)" || fail "$f does not decode"
    if grep -qiE 'error|warning|junk' <<<"$log"; then fail "$f: $log"; fi
    # mpg123 trims encoder delay/padding only when a LAME Info/Xing frame says so.
    rate="$(sed -n 's/^MPEG .* L III [a-z]*[0-9]* \([0-9]*\) .*/\1/p' <<<"$(mpg123 -t -v "$f" 2>&1)")"
    samples=$(( $(mpg123 -q -m -s "$f" | wc -c) / 2 ))
    printf '%-28s %7d bytes  %6d Hz  %7d samples  %ss\n' "$f" "$(stat -c %s "$f")" \
        "$rate" "$samples" "$(python3 -c "print(f'{$samples/$rate:.3f}')")"
done

# Capture first: grep -q closing a pipe early would trip pipefail.
info="$(mpg123 -t -v mpeg2-22k.mp3 2>&1)"
grep -q '^MPEG 2.0 L III cbr32 22050 ' <<<"$info" || fail "mpeg2-22k.mp3 is not MPEG 2.0 at 22050 Hz"
info="$(mpg123 -t -v mono-cbr64.mp3 2>&1)"
grep -q '^MPEG 1.0 L III cbr64 44100 mono' <<<"$info" || fail "mono-cbr64.mp3 is not 64k mono"

python3 - <<'PY'
import sys
def die(msg):
    sys.exit("error: " + msg)

d = open("sine-1k-cbr128-joint.mp3", "rb").read()
if d[:3] == b"ID3": die("sine-1k-cbr128-joint.mp3 has an ID3v2 tag")
if d[-128:-125] != b"TAG": die("sine-1k-cbr128-joint.mp3 lacks an ID3v1 tag")
if 0 in d[-125:-95]: die("ID3v1 title is not a full 30 bytes")

d = open("big-id3v2.mp3", "rb").read()
if d[:3] != b"ID3": die("big-id3v2.mp3 does not start with ID3")
size = (d[6] << 21) | (d[7] << 14) | (d[8] << 7) | d[9]
if size < 65536: die(f"big-id3v2.mp3 tag is only {size} bytes")
if d[-128:-125] == b"TAG": die("big-id3v2.mp3 has an ID3v1 tag")

for name in ("vbr-xing.mp3", "sine-1k-cbr128-info.mp3"):
    tag = b"Xing" if name.startswith("vbr") else b"Info"
    if tag not in open(name, "rb").read()[:200]: die(f"{name} lacks its {tag.decode()} frame")
for name in ("vbr-noxing.mp3", "one-second.mp3", "two-seconds.mp3", "mono-cbr64.mp3"):
    head = open(name, "rb").read()[:400]
    if b"Xing" in head or b"Info" in head: die(f"{name} has a Xing/Info frame")
PY

# The truncated file should decode up to the cut and then stop.
mpg123 -t truncated.mp3 >/dev/null 2>&1 || true
printf '%-28s %7d bytes  (cut mid-frame)\n' truncated.mp3 "$(stat -c %s truncated.mp3)"

# Random bytes must not pass as audio.
rnd_samples="$(mpg123 -q -s random-bytes.mp3 2>/dev/null | wc -c)" || true
[ "${rnd_samples:-0}" -eq 0 ] || fail "random-bytes.mp3 decoded to $rnd_samples bytes of PCM"
printf '%-28s %7d bytes  (decodes to nothing)\n' random-bytes.mp3 "$(stat -c %s random-bytes.mp3)"

if [ ! -f empty.mp3 ] || [ -s empty.mp3 ]; then fail "empty.mp3 is not empty"; fi
echo "fixtures ok"
