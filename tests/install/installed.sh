# What the install and package tests check on an installed copy.
# shellcheck shell=bash

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# The files an install under PREFIX must hold, relative to the install's root, sorted:
#   expected_files PREFIX LIBDIR SOURCE
expected_files() {
    local prefix=$1 lib=$2 source=$3 size skin file
    {
        echo "$prefix/bin/norlplayer"
        for file in norlplayer libnorlplay.so norlplay-play demo.mp3 norlplay.html norlplayer.svg \
            norlplayer.installed; do
            echo "$prefix/$lib/$file"
        done
        for size in 16 24 32 48 64 128 256; do
            echo "$prefix/$lib/norlplayer-$size.png"
            echo "$prefix/share/icons/hicolor/${size}x$size/apps/norlplayer.png"
        done
        for skin in blue graphite amber; do
            for file in "$source/data/skins/$skin"/*; do
                echo "$prefix/$lib/$skin/${file##*/}"
            done
        done
        echo "$prefix/share/icons/hicolor/scalable/apps/norlplayer.svg"
        echo "$prefix/share/applications/norlplayer.desktop"
        echo "$prefix/share/metainfo/norlplayer.metainfo.xml"
        echo "$prefix/share/man/man1/norlplayer.1.gz"
        for file in README.md copyright changelog.gz; do
            echo "$prefix/share/doc/norlplayer/$file"
        done
    } | sed 's#^/##' | LC_ALL=C sort
}

# Fails unless the files (and links) under ROOT are exactly those of an install under PREFIX
# inside it ("" for ROOT itself):
#   check_files ROOT PREFIX LIBDIR SOURCE
check_files() {
    local root=$1 differences
    differences=$(diff <(expected_files "$2" "$3" "$4") \
        <(cd "$root" && find . \( -type f -o -type l \) | sed 's#^\./##' | LC_ALL=C sort)) ||
        fail "installed files differ from the expected (< missing, > unexpected):"$'\n'"$differences"
}

# Validates the desktop entry and the AppStream data under ROOT/PREFIX with the desktop's tools.
validate_desktop_files() {
    local share=$1$2/share
    desktop-file-validate "$share/applications/norlplayer.desktop" ||
        fail "desktop-file-validate rejects the desktop entry"
    appstreamcli validate --no-net "$share/metainfo/norlplayer.metainfo.xml" ||
        fail "appstreamcli rejects the AppStream data"
}

# Checks `--version` of the installed command, run from another folder.
check_version() {
    local program=$1 elsewhere=$2 version
    version=$(cd "$elsewhere" && "$program" --version) || fail "$program --version failed"
    [ "$version" = "NorlPlayer 1.5" ] || fail "$program --version says '$version'"
}

# Starts the installed program headless for the first time in a home of its own (HOME): it must
# open the demo song, with the menu entry found as the association so no prompt waits, play it to
# the sound server, end normally on SIGTERM, and keep its list and the skin's shape in the user's
# folders. The caller then checks that nothing was written into the install.
#   headless_start ROOT PREFIX HOME
headless_start() {
    local root=$1 prefix=$2 home=$3 pid status tries playing=0
    mkdir -p "$home/config" "$home/data" "$home/cache" "$home/runtime" "$home/run"
    chmod 700 "$home/runtime"
    printf '[Default Applications]\naudio/mpeg=norlplayer.desktop\n' >"$home/config/mimeapps.list"
    pactl info >/dev/null 2>&1 || fail "no sound server: run the tests through scripts/test"
    (
        cd "$home/run"
        exec env HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
            XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" \
            XDG_DATA_DIRS="$root$prefix/share" XDG_CONFIG_DIRS="$home/no-system-config" \
            PATH="$root$prefix/bin:$PATH" QT_QPA_PLATFORM=offscreen norlplayer
    ) >"$home/output.txt" 2>&1 &
    pid=$!
    for tries in $(seq 100); do
        if pactl list sink-inputs 2>/dev/null | grep -q 'application.process.id = "'"$pid"'"'; then
            playing=1
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -TERM "$pid" 2>/dev/null || true
    status=0
    wait "$pid" || status=$?
    [ "$playing" -eq 1 ] || fail "the installed program did not play the demo; it said: $(cat "$home/output.txt")"
    [ "$status" -eq 0 ] || fail "the installed program ended with status $status: $(cat "$home/output.txt")"
    grep -q "$prefix/lib.*/demo.mp3" "$home/data/NorlPlayer/loaded.lpl" 2>/dev/null ||
        fail "the list kept in the user's data folder does not hold the demo song"
    compgen -G "$home/cache/NorlPlayer/skins/*mask.mk" >/dev/null ||
        fail "the skin's shape is not in the user's cache"
}
