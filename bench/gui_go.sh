#!/usr/bin/env bash
# GO in the window against the same run without one, and how soon STOP ends a
# run, on a virtual X server driven by xdotool. The window's run is timed by the
# program's CPU use: from F5 until its CPU time stops growing (the last tick,
# 10 ms steps), idle being 0.5 s without a tick; STOP the same from Esc, pressed
# STOP_AFTER seconds (0.05) into a second GO. Default settings both ways (a home of its own).
# The wall figure carries one xdotool start-up and the 20 ms polling, tens of ms on a
# short run, so the CPU each side spent (the window's ticks over the GO, the headless
# process's user + system time) is printed beside it.
#
# Usage: bench/gui_go.sh TARNIX TARNIX_RUN LINE [ROUNDS]
# (TARNIX_GUI_SHOTS=DIR keeps a screenshot after each GO there.)
set -u
if [ "${1:-}" = "--inner" ]; then
    shift
    inner=1
else
    inner=0
fi
tarnix=$1 tarnix_run=$2 line=$3 rounds=${4:-3}
if [ $inner = 0 ]; then
    for t in xvfb-run xdotool; do command -v $t >/dev/null || { echo "$t missing"; exit 77; }; done
    work=$(mktemp -d "${TMPDIR:-/tmp}/tarnix-gui-go.XXXXXX")
    mkdir -p "$work/home"
    HOME=$work/home XDG_CONFIG_HOME=$work/home/.config WORK=$work \
        xvfb-run -a -s "-screen 0 1400x1000x24" bash "$0" --inner "$@"
    rc=$?
    rm -rf "$work"
    exit $rc
fi

unset QT_QPA_PLATFORM QT_SCALE_FACTOR
pid=
trap '[ -n "$pid" ] && kill $pid 2>/dev/null' EXIT
window() {
    local id
    id=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1)
    [ -n "$id" ] || { echo "no window \"$1\"" >&2; exit 1; }
    echo "$id"
}
focus() { xdotool windowfocus --sync "$1"; }
keys() {
    local w=$1
    shift
    focus "$w" && xdotool key "$@"
}
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
now() { date +%s.%N; }
# Seconds from $1 to the last CPU tick before 0.5 s of idle.
until_idle() {
    local start=$1 last t c prev
    prev=$(ticks)
    last=$start
    local quiet=0
    while [ "$quiet" -lt 25 ]; do
        sleep 0.02
        c=$(ticks)
        t=$(now)
        if [ "$c" != "$prev" ]; then
            last=$t
            prev=$c
            quiet=0
        else
            quiet=$((quiet + 1))
        fi
    done
    echo "$last - $start" | bc -l
}

"$tarnix" "$line" >"$WORK/tarnix.log" 2>&1 &
pid=$!
keys "$(window "SEGY File Type")" Return
keys "$(window "Select Shots")" Return
main=$(window "Tarnix ver")
sleep 2
for r in $(seq "$rounds"); do
    # Focused before the clock starts: the focus round trip is not the GO's.
    focus "$main"
    c0=$(ticks)
    t0=$(now)
    xdotool key F5
    go=$(until_idle "$t0")
    gocpu=$(echo "($(ticks) - $c0) / 100" | bc -l)
    [ -n "${TARNIX_GUI_SHOTS:-}" ] && import -window root "$TARNIX_GUI_SHOTS/go-$r.png"
    read -r h hu hs < <( { /usr/bin/time -f "%e %U %S" "$tarnix_run" --no-defaults --report "$line" >/dev/null; } 2>&1 | tail -1)
    hcpu=$(echo "$hu + $hs" | bc -l)
    # F5 and Esc from one xdotool call: on a fast machine a GO ends sooner than a
    # second xdotool start-up. The clock starts when Esc is due, so the time
    # reported includes the start-up of that call, never less than STOP took.
    focus "$main"
    c1=$(ticks)
    t1=$(echo "$(now) + ${STOP_AFTER:-0.05}" | bc -l)
    xdotool key F5 sleep "${STOP_AFTER:-0.05}" key Escape
    st=$(until_idle "$t1")
    # The stopped GO's CPU beside the full GO's shows that STOP cut it short.
    stcpu=$(echo "($(ticks) - $c1) / 100" | bc -l)
    printf 'round %d: GO in the window %.3f s | headless %.3f s | ratio %.3f | CPU %.2f s : %.2f s, ratio %.3f | STOP after %.3f s (that GO: CPU %.2f s)\n' \
        "$r" "$go" "$h" "$(echo "$go / $h" | bc -l)" "$gocpu" "$hcpu" "$(echo "$gocpu / $hcpu" | bc -l)" "$st" "$stcpu"
done
