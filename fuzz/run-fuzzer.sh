#!/usr/bin/env bash
# Builds a fuzz target and runs it for SECONDS (default 600) in one process.
#   fuzz/run-fuzzer.sh [SECONDS] [TARGET]
# TARGET is fuzz_mp3_input (the default), fuzz_region_file, fuzz_bitmap_file, fuzz_skin_file, fuzz_playlist_file
# or fuzz_registry_store. Each target's work corpus (fuzz/corpus-work/TARGET/, not in git)
# starts from its seeds and regression inputs and keeps what earlier runs found. Findings land
# in fuzz/findings/ as TARGET-crash-*, -timeout-*, -leak-* or -oom-*; the whole log is
# build-fuzz/fuzz/TARGET.log.
set -euo pipefail

seconds=${1:-600}
target=${2:-fuzz_mp3_input}
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$root/build-fuzz

case $target in
fuzz_mp3_input)
    seeds=("$root"/tests/data/*.mp3 "$here"/regressions/*.mp3)
    # A decode that does not end gets its own finding from the target; -timeout is for deadlocks.
    options=(-dict="$here/mp3.dict" -max_len=65536 -timeout=10)
    ;;
fuzz_region_file | fuzz_bitmap_file | fuzz_skin_file | fuzz_playlist_file | fuzz_registry_store)
    seeds=("$here/seeds/$target"/*)
    [ -d "$here/regressions/$target" ] && seeds+=("$here/regressions/$target"/*)
    options=(-max_len=8192 -timeout=10)
    [ -f "$here/$target.dict" ] && options+=(-dict="$here/$target.dict")
    ;;
*)
    echo "unknown fuzz target: $target" >&2
    exit 2
    ;;
esac

[ -f "$build/build.ninja" ] || cmake --preset fuzz -S "$root" >/dev/null
cmake --build "$build" --target "$target" >/dev/null

corpus=$here/corpus-work/$target
mkdir -p "$corpus" "$here/corpus-work/fuzz_mp3_input" "$here/findings"
# Earlier runs kept the MP3 corpus directly in corpus-work/.
find "$here/corpus-work" -maxdepth 1 -type f -exec mv -t "$here/corpus-work/fuzz_mp3_input" {} + \
    2>/dev/null || true
cp "${seeds[@]}" "$corpus"/

log=$build/fuzz/$target.log
status=0
"$build/fuzz/$target" "$corpus" "${options[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$here/findings/$target-" >"$log" 2>&1 || status=$?

if [ "$status" -ne 0 ]; then
    grep -E "$target:|ERROR|SUMMARY|runtime error|Test unit written" "$log" >&2 || true
    echo "finding after $(grep -c '' "$log") log lines, see $log" >&2
fi
grep -E '^#[0-9]+' "$log" | tail -n 1
grep -E '^Done [0-9]+ runs' "$log" || true
exit "$status"
