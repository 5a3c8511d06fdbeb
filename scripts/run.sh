#!/usr/bin/env bash
# `make run`: starts Tarnix; without an X display it says so and exits non-zero.
set -u
build=${1:-build}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No X display (DISPLAY is not set): Tarnix needs one to show its windows." >&2
    echo "Run it under xvfb-run, or use the headless command $build/tarnix-run." >&2
    exit 1
fi
exec "$build/tarnix" "$@"
