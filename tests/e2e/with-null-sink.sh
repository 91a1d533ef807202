#!/bin/bash
# Runs a command with a private PulseAudio server that plays into a null
# sink, so that Wine has a sound device and playback takes its real time.
# Without pulseaudio the command runs as it is (playback then ends at once).
set -u
if ! command -v pulseaudio >/dev/null; then
    exec "$@"
fi
dir="$(mktemp -d /tmp/orrivane-pulse.XXXXXX)"
HOME="$dir" XDG_RUNTIME_DIR="$dir" pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    -L "module-null-sink sink_name=orrivane" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/native" >"$dir/log" 2>&1 &
pulse=$!
# Ended by its id, also when ctest stops this script at its time-out.
cleanup() {
    kill "$pulse" 2>/dev/null
    wait "$pulse" 2>/dev/null
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM INT
for _ in $(seq 50); do
    [ -S "$dir/native" ] && break
    sleep 0.1
done
if [ -S "$dir/native" ]; then
    export PULSE_SERVER="unix:$dir/native"
else
    echo "with-null-sink: pulseaudio did not start:" >&2
    cat "$dir/log" >&2
fi
"$@"
