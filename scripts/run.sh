#!/usr/bin/env bash
# `make run`: starts Tarnix on its demo line. Without an X display the same demo
# runs headless and the profile is written as an image.
set -u
build=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No X display (DISPLAY is not set): running the demo headless instead." >&2
    "$build/tarnix-run" --demo --image demo-profile.png --report || exit 1
    echo "The processed demo profile is in $(pwd)/demo-profile.png" >&2
    echo "Run 'make run' from a desktop session (or under xvfb-run) to see the window." >&2
    exit 0
fi
exec "$build/tarnix" --demo
