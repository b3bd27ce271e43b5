#!/usr/bin/env bash
# Builds the MP3 fuzz target and runs it for SECONDS (default 600) in one process.
#   fuzz/run-fuzzer.sh [SECONDS]
# The work corpus (fuzz/corpus-work/, not in git) starts from the test fixtures and the
# regression inputs and keeps what earlier runs found. Findings land in fuzz/ as crash-*,
# timeout-*, leak-* or oom-*; the whole log is build-fuzz/fuzz/last-run.log.
set -euo pipefail

seconds=${1:-600}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$root/build-fuzz

[ -f "$build/build.ninja" ] || cmake --preset fuzz -S "$root" >/dev/null
cmake --build "$build" --target fuzz_mp3_input >/dev/null

corpus=$here/corpus-work
mkdir -p "$corpus"
cp "$root"/tests/data/*.mp3 "$here"/regressions/*.mp3 "$corpus"/

log=$build/fuzz/last-run.log
status=0
# A decode that does not end gets its own finding from the target; -timeout is for deadlocks.
"$build/fuzz/fuzz_mp3_input" "$corpus" -dict="$here/mp3.dict" -max_len=65536 -timeout=10 \
    -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$here/" >"$log" 2>&1 ||
    status=$?

if [ "$status" -ne 0 ]; then
    grep -E 'fuzz_mp3_input:|ERROR|SUMMARY|runtime error|Test unit written' "$log" >&2 || true
    echo "finding after $(grep -c '' "$log") log lines, see $log" >&2
fi
grep -E '^#[0-9]+' "$log" | tail -n 1
grep -E '^Done [0-9]+ runs' "$log" || true
exit "$status"
