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
for _ in $(seq 50); do
    [ -S "$dir/native" ] && break
    sleep 0.1
done
export PULSE_SERVER="unix:$dir/native"
"$@"
status=$?
kill "$pulse" 2>/dev/null
wait "$pulse" 2>/dev/null
rm -rf "$dir"
exit $status
