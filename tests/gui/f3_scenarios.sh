#!/usr/bin/env bash
# F3 through the real program on a virtual X server, driven by xdotool as a user
# would: opened from the command line, from File > Recent Files and at
# QT_SCALE_FACTOR=2; each time OK, OK, GO (F5), Fit to Window (Ctrl+0), File >
# Save Image as PNG. The saved profile's data area must match tarnix-run's
# picture of the same file and settings pixel for pixel (the labels are left
# out: the two render text on different platforms), and the second save, given
# a bare name, must land in the directory the first one used.
#
# Usage: f3_scenarios.sh TARNIX TARNIX_RUN F3_FILE
# (TARNIX_GUI_SHOTS=DIR keeps the screenshot of the fitted profile there.)
# Exit 77 (skipped) when the file, xvfb-run, xdotool or ImageMagick is missing.
set -u

if [ "${1:-}" = "--inner" ]; then
    shift
    inner=1
else
    inner=0
fi
tarnix=$1 tarnix_run=$2 f3=$3

skip() {
    echo "skipped: $*"
    exit 77
}
fail() {
    echo "FAIL: $*" >&2
    [ -n "${shots:-}" ] && import -window root "$shots/failure.png" 2>/dev/null &&
        echo "screen at the failure: $shots/failure.png" >&2
    exit 1
}

if [ $inner = 0 ]; then
    [ -f "$f3" ] || skip "$f3 not found"
    for t in xvfb-run xdotool convert compare import; do
        command -v $t >/dev/null || skip "$t is not installed (scripts/setup.sh installs it)"
    done
    xvfb-run -a -s "-screen 0 1400x1000x24" true 2>/dev/null || skip "no X server could be started"
    work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-gui.XXXXXX")
    mkdir -p "$work/home" "$work/out"
    # A home of its own: no defaults file, no settings of the user's.
    HOME=$work/home XDG_CONFIG_HOME=$work/home/.config WORK=$work \
        xvfb-run -a -s "-screen 0 1400x1000x24" bash "$0" --inner "$tarnix" "$tarnix_run" "$f3"
    rc=$?
    # A failure keeps its screenshots and logs.
    [ $rc = 0 ] && rm -rf "$work"
    exit $rc
fi

# --- inside the X server ---
unset QT_QPA_PLATFORM QT_SCALE_FACTOR
out=$WORK/out
shots=$WORK
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null' EXIT

# The window whose title contains $1, once it is mapped (at most $2 seconds).
window() {
    local id
    id=$(timeout "${2:-15}" xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] || fail "no window \"$1\" appeared"
    echo "$id"
}
# Keys to the window $1 (no window manager here: focus it first).
keys() {
    local w=$1
    shift
    xdotool windowfocus --sync "$w" || fail "cannot focus window $w"
    xdotool key --delay 40 "$@"
}
# Waits until file $1 exists and has stopped growing.
saved() {
    local i size=-1
    for i in $(seq 100); do
        if [ -s "$1" ] && [ "$(stat -c %s "$1")" = "$size" ]; then return 0; fi
        [ -s "$1" ] && size=$(stat -c %s "$1")
        sleep 0.1
    done
    fail "$1 was not written"
}

start() {
    "$tarnix" "$@" >"$WORK/tarnix.log" 2>&1 &
    pid=$!
}
stop() {
    kill $pid 2>/dev/null
    wait $pid 2>/dev/null
    pid=
}
# OK in the SEG-Y options and Select Shots windows, GO, fit, Save Image as $1.
ok_ok_go_fit_save() {
    keys "$(window "SEGY File Type")" Return
    keys "$(window "Select Shots")" Return
    local main
    main=$(window "Tarnix ver")
    keys "$main" F5
    # F3's 414 shots take a fraction of a second; the keys below would otherwise
    # reach the window while the run serves its events.
    sleep 1.5
    keys "$main" ctrl+0
    keys "$main" alt+f
    xdotool key s
    local dialog
    dialog=$(window "Save Image")
    xdotool windowfocus --sync "$dialog"
    xdotool type --delay 10 "$1"
    xdotool key Return
}

# 1: from the command line.
start "$f3"
ok_ok_go_fit_save "$out/first.png"
saved "$out/first.png"
import -window root "$WORK/fitted.png"
[ -n "${TARNIX_GUI_SHOTS:-}" ] && cp "$WORK/fitted.png" "$TARNIX_GUI_SHOTS/"
stop

# The same file and settings without a window.
QT_QPA_PLATFORM=offscreen "$tarnix_run" --no-defaults --image "$out/reference.png" "$f3" \
    >"$WORK/run.log" 2>&1 || fail "tarnix-run failed: $(cat "$WORK/run.log")"

# The data area of F3 at the start settings: 414 traces by 99 rows inside the
# frame from (50, 50).
area=413x98+51+51
data() { convert "$1" -crop $area +repage "$2"; }
data "$out/first.png" "$WORK/first-data.png"
data "$out/reference.png" "$WORK/reference-data.png"
[ "$(identify -format %wx%h "$out/first.png")" = "$(identify -format %wx%h "$out/reference.png")" ] ||
    fail "saved picture is $(identify -format %wx%h "$out/first.png"), tarnix-run's $(identify -format %wx%h "$out/reference.png")"
differ=$(compare -metric AE "$WORK/first-data.png" "$WORK/reference-data.png" null: 2>&1)
[ "$differ" = "0" ] || fail "$differ pixels of the data area differ from tarnix-run's"
# Chosen pixels, so that a picture of nothing but white cannot pass: the deep
# rows of F3 are painted.
dark=0
for x in 60 120 200 280 360 440; do
    for y in 130 140 145; do
        a=$(convert "$out/first.png" -format "%[pixel:p{$x,$y}]" info:)
        b=$(convert "$out/reference.png" -format "%[pixel:p{$x,$y}]" info:)
        [ "$a" = "$b" ] || fail "pixel $x,$y is $a, tarnix-run's $b"
        [ "$a" = "srgb(255,255,255)" ] || [ "$a" = "white" ] || dark=$((dark + 1))
    done
done
[ $dark -ge 6 ] || fail "only $dark of 18 chosen pixels are painted"

# 2: from File > Recent Files; the save dialog starts where the first save went.
start
main=$(window "Tarnix ver")
sleep 0.3
keys "$main" alt+f
xdotool key f 1
ok_ok_go_fit_save "second.png"
saved "$out/second.png"
stop
differ=$(compare -metric AE "$out/first.png" "$out/second.png" null: 2>&1)
[ "$differ" = "0" ] || fail "the recent-files run saved a different picture ($differ pixels)"

# 3: on a screen of twice the pixel density the profile bitmap is still one
# pixel per trace and row; only the view scales it.
QT_SCALE_FACTOR=2 start "$f3"
ok_ok_go_fit_save "$out/dense.png"
saved "$out/dense.png"
stop
[ "$(identify -format %wx%h "$out/dense.png")" = "$(identify -format %wx%h "$out/first.png")" ] ||
    fail "at scale 2 the saved picture is $(identify -format %wx%h "$out/dense.png")"
data "$out/dense.png" "$WORK/dense-data.png"
differ=$(compare -metric AE "$WORK/dense-data.png" "$WORK/first-data.png" null: 2>&1)
[ "$differ" = "0" ] || fail "at scale 2, $differ pixels of the data area differ"
echo "ok: F3 opened three times, saved pictures match tarnix-run's data area"
