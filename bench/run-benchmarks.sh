#!/usr/bin/env bash
# Measures libnorlplay against the mpg123 command line in one run, ours and mpg123 alternating,
# and prints a table of medians and ratios (also kept in bench/results/).
#   bench/run-benchmarks.sh                 the usual run (about 27 minutes, most of it playing)
#   REPS=9 PLAY_REPS=5 bench/run-benchmarks.sh   more repetitions
# Then the main window, offscreen: a 100,000-song playlist and songs added one by one
# (PLAYLIST_RUNS, in the locale BENCH_LANG), the start-up to the first show (STARTUP_RUNS), and
# the window's shape from the default skin's background (REGION_RUNS).
# Then the program's running costs (bench/running-costs.sh): norlplayer playing the 60 s file
# against mpg123 and audacious (COST_REPS), waiting with nothing to play (IDLE_SECONDS), and a
# soak of SOAK_SONGS one-second songs through the window (about 2 s a song); and norlplayer
# playing the 60 s file with the equalizer off and on (EQ_REPS), about 6 minutes.
#   PARTS="play costs" bench/run-benchmarks.sh   only some parts: decode, play, open, window, costs,
#                                                 equalizer
# Inputs are made once with sox and lame in build-bench/inputs/ and reused.
# shellcheck source-path=SCRIPTDIR
set -euo pipefail
# shellcheck source=../scripts/common.sh
source "$(dirname "$0")/../scripts/common.sh"
# shellcheck source=../scripts/soundserver.sh
source "$ROOT/scripts/soundserver.sh"
# shellcheck source=running-costs.sh
source "$ROOT/bench/running-costs.sh"

REPS=${REPS:-7}           # decode runs of each kind
PLAY_REPS=${PLAY_REPS:-3} # 60 s plays of each player
OPEN_RUNS=${OPEN_RUNS:-20}
PLAYLIST_RUNS=${PLAYLIST_RUNS:-7}
STARTUP_RUNS=${STARTUP_RUNS:-11}
REGION_RUNS=${REGION_RUNS:-200}
BENCH_LANG=${BENCH_LANG:-en_US.UTF-8} # sorting costs what the user's collation costs
PARTS=${PARTS:-decode play open window costs equalizer}

part() { [[ " $PARTS " == *" $1 "* ]]; }

ensure_packages "${BUILD_PACKAGES[@]}" pulseaudio pulseaudio-utils sox lame mpg123 audacious
build_preset bench

BIN=$ROOT/build-bench/bin
INPUTS=$ROOT/build-bench/inputs
WORK=$ROOT/build-bench/output
RESULTS=$ROOT/bench/results
STAMP=$(date +%Y%m%d-%H%M%S)
LOG=$RESULTS/$STAMP.log
TABLE=$RESULTS/$STAMP.txt
mkdir -p "$INPUTS" "$WORK" "$RESULTS"
: >"$LOG"

# The window benchmarks copy the default skin beside the program: it must be the shipped one.
for file in "$ROOT"/data/skins/blue/*; do
    if ! cmp -s "$file" "$BIN/blue/$(basename "$file")"; then
        echo "$BIN/blue/ is not the shipped skin data/skins/blue/: reconfigure build-bench" >&2
        exit 1
    fi
done

# tmpfs shows the decoding without the disk; fall back to the work folder where there is none.
SHM=/dev/shm
[ -d "$SHM" ] && [ -w "$SHM" ] || SHM=$WORK
SHM_WAV=$SHM/norl-bench-$$.wav

cleanup() {
    stop_sound_server
    rm -f "$WORK"/*.wav "$SHM_WAV"
}
trap cleanup EXIT

log() { echo "$*" >>"$LOG"; }
median() { sort -g | awk '{ v[NR] = $1 } END { print NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
calc() { awk "BEGIN { printf \"$1\", $2 }"; }

# ---- Inputs: deterministic (sox -R), made once ----------------------------------------------

# Ten minutes of a chord, a slow sweep and pink noise under a slow tremolo: the loudness and
# the content keep changing, so VBR frame sizes vary.
MUSIC_WAV=$WORK/music-600s.wav
CBR=$INPUTS/cbr128-600s.mp3
VBR=$INPUTS/vbr-noxing-600s.mp3
PLAY=$INPUTS/cbr128-60s.mp3
VBR_LENGTH=$INPUTS/vbr-noxing-600s.length-ms

make_inputs() {
    echo "Making the inputs in $INPUTS (once)..."
    sox -R -D -n -r 44100 -c 2 -b 16 "$MUSIC_WAV" \
        synth 600 sine 220 sine 277 sine 330 sine 100-8000 pinknoise \
        remix 1,2,3v0.7,4v0.6,5v0.5 2,3,4v0.6,5v0.5 tremolo 0.05 90 vol 0.25
    local enc=(lame --quiet --noreplaygain)
    "${enc[@]}" -b 128 --cbr "$MUSIC_WAV" "$CBR.part" && mv "$CBR.part" "$CBR"
    # -t: no Xing/LAME frame, so the length is only known by scanning.
    "${enc[@]}" -V 2 -t "$MUSIC_WAV" "$VBR.part" && mv "$VBR.part" "$VBR"
    sox "$MUSIC_WAV" "$WORK/music-60s.wav" trim 0 60
    "${enc[@]}" -b 128 --cbr "$WORK/music-60s.wav" "$PLAY.part" && mv "$PLAY.part" "$PLAY"
    # The true length is what a full decode yields.
    mpg123 -q -w "$WORK/vbr.wav" "$VBR"
    echo $(($(soxi -s "$WORK/vbr.wav") * 1000 / 44100)) >"$VBR_LENGTH"
    rm -f "$WORK"/*.wav
}
if ! [ -f "$CBR" ] || ! [ -f "$VBR" ] || ! [ -f "$PLAY" ] || ! [ -f "$VBR_LENGTH" ]; then
    make_inputs
fi

# ---- A sound server: the one in PULSE_SERVER, else a private null sink ----------------------

if [ -n "${PULSE_SERVER:-}" ] && pactl info >/dev/null 2>&1; then
    SERVER="PULSE_SERVER=$PULSE_SERVER"
else
    unset PULSE_SERVER
    start_sound_server "$ROOT/build-bench"
    SERVER="private null sink (norewinds=1)"
fi
log "server: $SERVER"
LOAD=$(cut -d ' ' -f 1-3 /proc/loadavg)
log "load average: $LOAD"

# ---- Runs ------------------------------------------------------------------------------------

# keep NAME MEASURE...: runs a measuring command, appends the figures on the last line of its
# output to $WORK/NAME.times and keeps the lines before it in $WORK/NAME.said.
keep() {
    local name=$1 out
    shift
    out=$("$@") || {
        echo "failed: $*" >&2
        exit 1
    }
    log "$name: ${out//$'\n'/ | }"
    tail -n 1 <<<"$out" >>"$WORK/$name.times"
    head -n -1 <<<"$out" >>"$WORK/$name.said"
}
# timed NAME COMMAND...: "wall user sys" of one run of the command, through bench-run.
timed() {
    local name=$1
    shift
    keep "$name" "$BIN/bench-run" "$@"
}
rm -f "$WORK"/*.times "$WORK"/*.said

if part decode; then
    echo "Decoding the 10-minute file, $REPS runs of each kind..."
    for ((i = 0; i < REPS; i++)); do
        timed mpg123-disk mpg123 -q -w "$WORK/mpg123.wav" "$CBR"
        timed ours-disk "$BIN/bench-decode" file "$CBR" "$WORK/ours.wav"
        timed ours-callback "$BIN/bench-decode" callback "$CBR"
        timed mpg123-tmpfs mpg123 -q -w "$SHM_WAV" "$CBR"
        timed ours-tmpfs "$BIN/bench-decode" file "$CBR" "$SHM_WAV"
    done
    # Every run must have decoded the same PCM length as mpg123 (bench-decode prints its count).
    mpg123_bytes=$(($(stat -c %s "$WORK/mpg123.wav") - 44))
    for name in ours-disk ours-tmpfs ours-callback; do
        bytes=$(awk '{ print $2 }' "$WORK/$name.said" | sort -u)
        if [ "$bytes" != "$mpg123_bytes" ]; then
            echo "$name decoded $bytes bytes of PCM, mpg123 $mpg123_bytes" >&2
            exit 1
        fi
    done
    rm -f "$WORK"/*.wav "$SHM_WAV"
fi

if part play; then
    echo "Playing the 60 s file through the sound server, $PLAY_REPS times each..."
    for ((i = 0; i < PLAY_REPS; i++)); do
        timed play-ours "$BIN/norlplay-play" --quiet "$PLAY"
        timed play-mpg123 mpg123 -q -o pulse "$PLAY"
    done
fi

if part open; then
    echo "Opening the 10-minute VBR file without a Xing header, $OPEN_RUNS runs..."
    expected=$(cat "$VBR_LENGTH")
    declare -A open_ms open_max open_first
    for output in file server; do
        out=$("$BIN/bench-open" "$output" "$VBR" "$WORK/open.wav" "$OPEN_RUNS")
        log "open-$output:"
        log "$out"
        open_ms[$output]=$(awk '/^total/ { print $3 }' <<<"$out")
        open_max[$output]=$(awk '/^total/ { print $6 }' <<<"$out")
        open_first[$output]=$(awk '/^first/ { print $3 }' <<<"$out")
        length=$(awk '/^length/ { print $2 }' <<<"$out")
        if [ $((length - expected)) -gt 30 ] || [ $((expected - length)) -gt 30 ]; then
            echo "ESGetSize said $length ms, a full decode gives $expected ms" >&2
            exit 1
        fi
    done
fi

if part window; then
    echo "The main window's playlist, $PLAYLIST_RUNS runs..."
    playlist=$(LC_ALL='' LC_COLLATE='' LANG=$BENCH_LANG "$BIN/bench-playlist" "$PLAYLIST_RUNS")
    log "$playlist"
    echo "Start-up to the first show, $STARTUP_RUNS runs..."
    startup=$("$BIN/bench-startup" "$STARTUP_RUNS")
    log "$startup"
    echo "The window's shape from the default skin, $REGION_RUNS runs..."
    region=$("$BIN/bench-region" "$REGION_RUNS")
    log "$region"
fi
if part equalizer; then
    measure_equalizer_costs
fi
if part costs; then
    measure_running_costs
fi

# ---- Table -----------------------------------------------------------------------------------

wall() { awk '{ print $1 }' "$WORK/$1.times" | median; }
cpu() { awk '{ print $2 + $3 }' "$WORK/$1.times" | median; }
ratio() { calc %.2f "$1 / $2"; }

{
    echo "NorlPlayer benchmarks, $(date '+%Y-%m-%d %H:%M'), $(lscpu | sed -n 's/^Model name: *//p')" \
        "($(nproc) cores), load average at start $LOAD; medians"
    if part decode; then
        echo
        echo "1. Decode 10 min CBR 128k, $REPS runs. Speed vs mpg123 -w (goal >= 0.9), by wall and by CPU time"
        printf '  %-34s %8s %8s %8s %8s\n' "" "wall s" "CPU s" "by wall" "by CPU"
        for row in "mpg123 -w, WAV on disk:mpg123-disk:mpg123-disk" \
            "ours omFile, WAV on disk:ours-disk:mpg123-disk" \
            "mpg123 -w, WAV on tmpfs:mpg123-tmpfs:mpg123-tmpfs" \
            "ours omFile, WAV on tmpfs:ours-tmpfs:mpg123-tmpfs" \
            "ours omCallback (vs tmpfs):ours-callback:mpg123-tmpfs"; do
            IFS=: read -r label name anchor <<<"$row"
            printf '  %-34s %8.3f %8.3f %8s %8s\n' "$label" "$(wall "$name")" "$(cpu "$name")" \
                "$(ratio "$(wall "$anchor")" "$(wall "$name")")" \
                "$(ratio "$(cpu "$anchor")" "$(cpu "$name")")"
        done
    fi
    if part play; then
        echo
        echo "2. Play 60 s through the sound server, $PLAY_REPS runs. CPU (user + system) vs mpg123 (goal <= 1.5)"
        printf '  %-34s %8s %8s %8s\n' "" "wall s" "CPU s" "ratio"
        for row in "mpg123 -q -o pulse:play-mpg123" "norlplay-play --quiet:play-ours"; do
            IFS=: read -r label name <<<"$row"
            printf '  %-34s %8.3f %8.3f %8s\n' "$label" "$(wall "$name")" "$(cpu "$name")" \
                "$(ratio "$(cpu "$name")" "$(cpu play-mpg123)")"
        done
        echo "  server: $SERVER"
    fi
    if part open; then
        echo
        echo "3. ESOpen + ESInitStream + ESGetSize, 10 min VBR without Xing, $OPEN_RUNS runs (goal < 30 ms)"
        printf '  %-34s %8s %8s %8s\n' "" "median" "max" "first"
        for row in "omFile:file" "omMMSystem (sound server):server"; do
            IFS=: read -r label output <<<"$row"
            printf '  %-34s %8.2f %8.2f %8.2f ms\n' "$label" "${open_ms[$output]}" \
                "${open_max[$output]}" "${open_first[$output]}"
        done
        echo "  length reported $length ms, a full decode gives $expected ms"
    fi
    if part window; then
        echo
        echo "4. $playlist"
        echo
        echo "5. $startup"
        echo
        echo "6. $region"
    fi
    if part costs; then
        echo
        print_running_costs
    fi
    if part equalizer; then
        echo
        print_equalizer_costs
    fi
} | tee "$TABLE"
echo "Table: $TABLE, every run: $LOG"
# A failed soak shows in the table; the run fails after it.
if part costs && [ "$SOAK_STATUS" -ne 0 ]; then
    exit 1
fi
