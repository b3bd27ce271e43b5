#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: the files of a desktop program, valid for the
# desktop's tools, a command that runs from any folder, and an installed copy that plays the demo
# and writes nothing into its prefix.
#   test-install.sh BUILD SOURCE LIBDIR
set -euo pipefail
build=$1 source=$2 lib=$3
source "$(dirname "$0")/installed.sh"

tmp=$(mktemp -d /tmp/norl-install.XXXXXX)
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || {
    cat "$tmp/install.log"
    fail "cmake --install failed"
}

check_files "$prefix" "" "$lib" "$source"
validate_desktop_files "" "$prefix"
mkdir "$tmp/elsewhere"
check_version "$prefix/bin/norlplayer" "$tmp/elsewhere"
headless_start "" "$prefix" "$tmp/home"
check_files "$prefix" "" "$lib" "$source"
echo "PASS"
