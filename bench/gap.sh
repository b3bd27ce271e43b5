#!/usr/bin/env bash
# The silence between two songs in the real program: two tones whose audio runs to their last
# sample are played one after the other through the sound server's null sink, its monitor is
# recorded, and the longest silence between the first and the last sound is measured. The
# silence the decoded files have at their own ends (the encoder's delay and padding, as mpg123
# decodes them) is taken off, so what is left is the player's.
#   bench/gap.sh                 Forward and Same Song, the median of RUNS (5) each
#   BUILD=build RUNS=3 bench/gap.sh
# Prints one line per mode: "MODE median_ms [each run's ms]".
# shellcheck source-path=SCRIPTDIR
set -euo pipefail
# shellcheck source=../scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
# shellcheck source=../scripts/soundserver.sh
source "$ROOT/scripts/soundserver.sh"

RUNS=${RUNS:-5}
BUILD=${BUILD:-build}
ensure_packages "${BUILD_PACKAGES[@]}" pulseaudio pulseaudio-utils sox lame mpg123
[ -x "$ROOT/$BUILD/bin/norlplayer" ] || build_preset default

WORK=$(mktemp -d /tmp/norl-gap.XXXXXX)
PLAYER=
cleanup() {
    [ -z "$PLAYER" ] || kill "$PLAYER" 2>/dev/null || true
    stop_sound_server
    rm -rf "$WORK"
}
trap cleanup EXIT
pactl info >/dev/null 2>&1 || start_sound_server "$WORK"

# Samples quieter than this (of full scale 1) count as silence; a run of them counts from 1 ms on, so
# a tone's zero crossings do not.
THRESHOLD=0.002
MIN_RUN_MS=1

# Two seconds of a tone, with lame's Info frame so that decoders can drop its delay and padding.
make_song() { # make_song NAME FREQUENCY
    sox -R -n -r 44100 -c 2 -b 16 "$WORK/$1.wav" synth 2 sine "$2" vol 0.5
    lame --quiet --noreplaygain -b 192 "$WORK/$1.wav" "$WORK/$1.mp3"
}

# Reads 16-bit stereo samples as text and prints, in ms: the silence before the first sound,
# after the last one, and the longest run of silence between them.
silences() { # silences FILE.wav
    sox "$1" -t dat - | awk -v threshold="$THRESHOLD" -v min_run="$MIN_RUN_MS" '
        /^;/ { next }
        {
            loud = ($2 > threshold || $2 < -threshold || $3 > threshold || $3 < -threshold)
            if (loud) {
                if (first == "") first = $1
                else if (quiet_from != "" && $1 - quiet_from > longest) longest = $1 - quiet_from
                last = $1
                quiet_from = ""
            } else if (quiet_from == "") {
                quiet_from = $1
            }
            end = $1
        }
        END {
            if (longest * 1000 < min_run) longest = 0
            printf "%.1f %.1f %.1f\n", first * 1000, (end - last) * 1000, longest * 1000
        }'
}

# The silence the decoded song has at its start and end, as mpg123 decodes it.
own_silence() { # own_silence NAME -> "lead tail"
    mpg123 -q -w "$WORK/$1-decoded.wav" "$WORK/$1.mp3"
    silences "$WORK/$1-decoded.wav" | awk '{ print $1, $2 }'
}

write_settings() { # write_settings CONFIG FORWARD SAMESONG
    mkdir -p "$1/NorlPlayer/registry"
    cat >"$1/NorlPlayer/registry/HKEY_LOCAL_MACHINE.json" <<EOF
{ "format": "NorlPlayer registry 1", "keys": { "SOFTWARE\\\\Vellacort\\\\Vorov3": {
  "Forward": { "data": "$2", "type": "string" }, "Random": { "data": "0", "type": "string" },
  "SameSong": { "data": "$3", "type": "string" } } } }
EOF
    cat >"$1/NorlPlayer/registry/HKEY_CURRENT_USER.json" <<EOF
{ "format": "NorlPlayer registry 1", "keys": { "SOFTWARE\\\\Vellacort\\\\NorlPlayer": {
  "ShowAssocDialog": { "data": "1", "type": "string" } } } }
EOF
}

# One run: the program plays its songs from a fresh start while the monitor is recorded; prints
# the longest silence between sounds in ms.
one_gap() { # one_gap FORWARD SAMESONG SONG...
    local forward=$1 same=$2 run="$WORK/run"
    shift 2
    rm -rf "$run" && mkdir -p "$run/runtime" && chmod 700 "$run/runtime"
    write_settings "$run/config" "$forward" "$same"
    # A program folder of its own: the quit keeps its list beside the program.
    mkdir -p "$run/program"
    cp -r "$ROOT/$BUILD/bin/norlplayer" "$ROOT/$BUILD/bin/libnorlplay.so" "$ROOT/$BUILD/bin/blue" \
        "$run/program/"
    parec -d norl_test.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=10 \
        >"$run/monitor.raw" &
    local recorder=$!
    sleep 0.3
    XDG_CONFIG_HOME="$run/config" XDG_DATA_HOME="$run/data" XDG_RUNTIME_DIR="$run/runtime" \
        QT_QPA_PLATFORM=offscreen "$run/program/norlplayer" "$@" >"$run/player.log" 2>&1 &
    PLAYER=$!
    sleep 6.5 # the start, two songs of 2 s, the poll
    kill "$PLAYER" 2>/dev/null || true
    wait "$PLAYER" 2>/dev/null || true
    PLAYER=
    kill "$recorder" 2>/dev/null || true
    wait "$recorder" 2>/dev/null || true
    sox -t raw -r 44100 -e signed -b 16 -c 2 "$run/monitor.raw" "$run/monitor.wav"
    silences "$run/monitor.wav" | awk '{ print $3 }'
}

median() { tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

make_song first 440
make_song second 660
read -r _ first_tail < <(own_silence first)
read -r second_lead _ < <(own_silence second)
read -r first_lead _ < <(own_silence first)

measure() { # measure LABEL OWN_MS FORWARD SAMESONG SONG...
    local label=$1 own=$2 gaps=() i gap
    shift 2
    for ((i = 0; i < RUNS; i++)); do
        gap=$(one_gap "$@")
        [ -z "${VERBOSE:-}" ] || echo "$label: longest silence $gap ms, the files' own $own ms" >&2
        gaps+=("$(awk -v g="$gap" -v o="$own" 'BEGIN { d = g - o; printf "%.1f", d < 0 ? 0 : d }')")
    done
    echo "$label $(echo "${gaps[*]}" | median) [${gaps[*]}]"
}

measure Forward "$(awk -v a="$first_tail" -v b="$second_lead" 'BEGIN { print a + b }')" \
    1 0 "$WORK/first.mp3" "$WORK/second.mp3"
measure SameSong "$(awk -v a="$first_tail" -v b="$first_lead" 'BEGIN { print a + b }')" \
    0 1 "$WORK/first.mp3"
