#!/usr/bin/env bash
# Makes the alert sound ts.mp3: a short two-note chime. Needs sox and lame;
# the result is committed, so building the program does not need them.
set -euo pipefail
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
sox -n -r 44100 -c 1 "$tmp/a.wav" synth 0.18 sine 880 fade q 0.01 0.18 0.08 vol 0.6
sox -n -r 44100 -c 1 "$tmp/b.wav" synth 0.32 sine 1320 fade q 0.01 0.32 0.22 vol 0.6
sox "$tmp/a.wav" "$tmp/b.wav" "$tmp/chime.wav"
lame --quiet -b 64 "$tmp/chime.wav" "$(dirname "$0")/ts.mp3"
