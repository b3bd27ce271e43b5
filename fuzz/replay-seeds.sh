#!/usr/bin/env bash
# Runs every libFuzzer target of build-fuzz/ once over its seeds and the inputs that once broke it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(dirname "$here")
build=$root/build-fuzz/fuzz

run() {
    local target=$1
    shift
    echo "$target: $# inputs"
    "$build/$target" -runs=0 "$@" >"$build/$target.replay.log" 2>&1 || {
        cat "$build/$target.replay.log" >&2
        return 1
    }
}

run fuzz_mp3_input "$root"/tests/data/*.mp3 "$here"/regressions/*.mp3
for target in fuzz_region_file fuzz_bitmap_file fuzz_skin_file fuzz_playlist_file fuzz_registry_store; do
    inputs=("$here/seeds/$target"/*)
    [ -d "$here/regressions/$target" ] && inputs+=("$here/regressions/$target"/*)
    run "$target" "${inputs[@]}"
done
