# A private sound server for the tests: a null sink that renders in small blocks (so playback
# keeps real time), its own runtime folder, no idle exit. Tests reach it through PULSE_SERVER.
# shellcheck shell=bash

SOUND_SERVER_PID=

start_sound_server() {
    local dir=$1/pulse
    # A unix socket path must stay short.
    [ ${#dir} -lt 90 ] || dir=$(mktemp -d /tmp/norl-pulse.XXXXXX)
    rm -rf "$dir" && mkdir -p "$dir/runtime"
    XDG_RUNTIME_DIR="$dir/runtime" HOME="$dir" pulseaudio -n --daemonize=no --exit-idle-time=-1 \
        --use-pid-file=no --log-target=file:"$dir/pulseaudio.log" \
        --load="module-native-protocol-unix auth-anonymous=1 socket=$dir/native" \
        --load="module-null-sink sink_name=norl_test norewinds=1" &
    SOUND_SERVER_PID=$!
    export PULSE_SERVER="unix:$dir/native"
    local tries
    for tries in $(seq 100); do
        pactl info >/dev/null 2>&1 && return 0
        kill -0 "$SOUND_SERVER_PID" 2>/dev/null || break
        sleep 0.1
    done
    echo "The test sound server did not start; its log:" >&2
    cat "$dir/pulseaudio.log" >&2 || true
    return 1
}

stop_sound_server() {
    [ -n "$SOUND_SERVER_PID" ] || return 0
    kill "$SOUND_SERVER_PID" 2>/dev/null || true
    wait "$SOUND_SERVER_PID" 2>/dev/null || true
    SOUND_SERVER_PID=
}
