# The program's running costs, a part of run-benchmarks.sh ("costs"), which sources this file and
# calls measure_running_costs and print_running_costs:
#  - norlplayer playing the 60 s file to its end with every play mode off, ended by SIGTERM at
#    62 s, against mpg123 -o pulse (the two alternate, COST_REPS runs each) and audacious -H -q
#    (once): CPU time of all threads and the peak memory (VmHWM);
#  - norlplayer waiting for IDLE_SECONDS after its song has ended, and started without a song;
#  - a soak: SOAK_SONGS one-second songs played through the window in Forward mode.
#   PARTS=costs bench/run-benchmarks.sh
# shellcheck shell=bash

COST_REPS=${COST_REPS:-3}
IDLE_SECONDS=${IDLE_SECONDS:-30}
SOAK_SONGS=${SOAK_SONGS:-300}
COST_SONG_END=62 # s: the 60 s song, the sound still buffered and one poll of the window
SHORT_SONG=$ROOT/tests/data/one-second.mp3

measure_running_costs() {
    local i
    echo "norlplayer playing the 60 s file against mpg123 and audacious, $COST_REPS runs..."
    for ((i = 0; i < COST_REPS; i++)); do
        keep cost-ours "$BIN/bench-player" play "$COST_SONG_END" "$PLAY"
        keep cost-mpg123 "$BIN/bench-player" other mpg123 -q -o pulse "$PLAY"
        # Only a reference: when it fails, the table says so and the run goes on.
        if ((i == 0)); then
            (keep cost-audacious "$BIN/bench-player" other audacious -H -q "$PLAY") 2>>"$LOG" ||
                echo "audacious failed, see $LOG" >&2
        fi
    done
    echo "norlplayer waiting $IDLE_SECONDS s, after its song ended and without a song..."
    keep idle-ended "$BIN/bench-player" idle 5 "$IDLE_SECONDS" "$SHORT_SONG"
    keep idle-stopped "$BIN/bench-player" idle 5 "$IDLE_SECONDS"
    echo "Soak: $SOAK_SONGS one-second songs through the window (about $((SOAK_SONGS / 30)) minutes)..."
    SOAK_STATUS=0
    SOAK=$("$BIN/bench-soak" "$SHORT_SONG" "$SOAK_SONGS" 2>>"$LOG") || SOAK_STATUS=$?
    log "soak: $SOAK"
}

# What norlplayer's threads are, by their names: the decoder library's thread keeps the
# program's name, the sound-server client's is libpulse's.
THREAD_LABEL='function label(name) {
    if (name == "threaded-ml") return "sound-server client"
    if (name == "norlplayer") return "decoder"
    if (name == "Thread_(pooled)") return "Qt pool"
    return name
}'

# Median CPU ms and wake-ups of each of norlplayer's threads over the play runs, and the rest of
# the whole process's CPU: threads that had ended before the SIGTERM, and the quit after it.
# The lines of one run start with its main thread.
thread_costs() {
    awk "$THREAD_LABEL"'
    function median(v, n,   i, j, t) {
        for (i = 2; i <= n; i++)
            for (j = i; j > 1 && v[j - 1] > v[j]; j--) { t = v[j]; v[j] = v[j - 1]; v[j - 1] = t }
        return n % 2 ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2
    }
    FNR == NR { total[FNR] = ($2 + $3) * 1000; next }
    $1 == "thread" {
        if ($2 == "main") runs++
        if (!($2 in seen)) { seen[$2] = 1; names[++count] = $2 }
        ms[$2, runs] += $3; wakeups[$2, runs] += $4; left[runs] += $3
    }
    END {
        for (i = 1; i <= count; i++) {
            name = names[i]
            for (r = 1; r <= runs; r++) { m[r] = ms[name, r]; w[r] = wakeups[name, r] }
            printf "%s%s", (i > 1) ? ", " : "", label(name)
            printf " %.0f (%.0f)", median(m, runs), median(w, runs)
        }
        for (r = 1; r <= runs; r++) m[r] = total[r] - left[r]
        printf ", ended threads and the quit %.0f\n", median(m, runs)
    }' "$WORK/cost-ours.times" "$WORK/cost-ours.said"
}

# Each thread's CPU ms and wake-ups per second in one idle window.
idle_threads() {
    awk -v seconds="$IDLE_SECONDS" "$THREAD_LABEL"'
    $1 == "thread" && ($3 > 0 || $4 > 0) {
        printf "%s%s %.1f ms %.2f/s", n++ ? ", " : "", label($2), $3, $4 / seconds
    }
    END { if (!n) printf "no thread ran" }' "$WORK/$1.said"
}

print_running_costs() {
    local row label name peak used wakeups
    echo "7. norlplayer (offscreen, fresh settings, play modes off) playing the 60 s file to its end," \
        "SIGTERM at ${COST_SONG_END} s; it and mpg123 alternate, $COST_REPS runs, medians; audacious 1 run"
    printf '  %-34s %8s %8s %8s %8s\n' "" "wall s" "CPU s" "ratio" "peak MB"
    for row in "mpg123 -q -o pulse:cost-mpg123" "norlplayer FILE:cost-ours" \
        "audacious -H -q FILE:cost-audacious"; do
        IFS=: read -r label name <<<"$row"
        if ! [ -s "$WORK/$name.times" ]; then
            printf '  %-34s %8s\n' "$label" "failed"
            continue
        fi
        peak=$(awk '{ print $4 }' "$WORK/$name.times" | median)
        printf '  %-34s %8.3f %8.3f %8s %8.1f\n' "$label" "$(wall "$name")" "$(cpu "$name")" \
            "$(ratio "$(cpu "$name")" "$(cpu cost-mpg123)")" "$(calc %.1f "$peak / 1024")"
    done
    echo "  goal: norlplayer's CPU <= 1.5 x mpg123's; peak: VmHWM, norlplayer's just before the SIGTERM"
    echo "  norlplayer's threads, CPU ms (wake-ups): $(thread_costs)"
    echo "  server: $SERVER"
    printf '  %-39s %8s %10s\n' "Waiting $IDLE_SECONDS s (goal: about zero)" "CPU ms" "wake-ups/s"
    for row in "after its song ended, modes off:idle-ended" "started without a song:idle-stopped"; do
        IFS=: read -r label name <<<"$row"
        read -r used wakeups <"$WORK/$name.times"
        printf '    %-37s %8.1f %10.2f  %s\n' "$label" "$used" "$wakeups" "$(idle_threads "$name")"
    done
    echo "  Soak: ${SOAK:-no result}"
    [ "$SOAK_STATUS" -eq 0 ] || echo "  THE SOAK FAILED (status $SOAK_STATUS), see $LOG"
}

# The equalizer's cost: norlplayer playing the 60 s file with the equalizer off and on (every band
# boosted or cut), alternating, EQ_REPS runs each ("equalizer" of run-benchmarks.sh).
#   PARTS=equalizer bench/run-benchmarks.sh
EQ_REPS=${EQ_REPS:-3}

measure_equalizer_costs() {
    local i
    echo "norlplayer playing the 60 s file with the equalizer off and on, $EQ_REPS runs each..."
    for ((i = 0; i < EQ_REPS; i++)); do
        keep eq-off "$BIN/bench-player" play "$COST_SONG_END" "$PLAY"
        keep eq-on "$BIN/bench-player" play-eq "$COST_SONG_END" "$PLAY"
    done
}

# Each run's CPU seconds, in the order they ran.
runs_cpu() { awk '{ printf "%s%.3f", (NR > 1) ? " " : "", $2 + $3 }' "$WORK/$1.times"; }

print_equalizer_costs() {
    local row label name
    echo "8. norlplayer (offscreen, play modes off) playing the 60 s file, equalizer off and on" \
        "(no band flat), alternating, $EQ_REPS runs, medians"
    printf '  %-34s %8s %8s %8s\n' "" "wall s" "CPU s" "ratio"
    for row in "equalizer off:eq-off" "equalizer on:eq-on"; do
        IFS=: read -r label name <<<"$row"
        printf '  %-34s %8.3f %8.3f %8s\n' "$label" "$(wall "$name")" "$(cpu "$name")" \
            "$(ratio "$(cpu "$name")" "$(cpu eq-off)")"
    done
    echo "  goal: on <= 1.2 x off; each run's CPU s, off: $(runs_cpu eq-off); on: $(runs_cpu eq-on)"
}
