#!/usr/bin/env bash
# Runs each fuzz target for FUZZ_SECONDS in turn (one process, lowest priority)
# and prints executions, coverage and findings per target.
#   fuzz/run_fuzz.sh BUILD_DIR [TARGET...]
set -uo pipefail
build=${1:?build directory}
shift
src=${FUZZ_SRC:-$(cd "$(dirname "$0")" && pwd)}
secs=${FUZZ_SECONDS:-60}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(segy korva xtf seg2 navigation boundary points picks reflectivity notebook defaults
             sequence binary ascii bitmap timeslice recent exportascii)
fi
printf '%-13s %8s %10s %8s %6s %7s %s\n' target seconds executions exec/s cov ft findings
status=0
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
for t in "${targets[@]}"; do
    bin=$build/fuzz/fuzz_$t
    [ -x "$bin" ] || { echo "$t: $bin is not built" >&2; status=1; continue; }
    corpus=$build/corpus/$t findings=$build/findings/$t log=$build/logs/$t.log
    mkdir -p "$corpus" "$findings" "$build/logs"
    # Peer files join the working corpus as links; the repository keeps none.
    if [ -f "$build/fuzz/peer_$t.txt" ]; then
        while IFS= read -r f; do
            [ -n "$f" ] && [ -f "$f" ] && ln -sf "$f" "$corpus/peer-$(basename "$f")"
        done <"$build/fuzz/peer_$t.txt"
    fi
    dirs=("$corpus")
    for d in "$src/seeds/$t" "$src/regression/$t"; do [ -d "$d" ] && dirs+=("$d"); done
    before=$(ls "$findings" | wc -l)
    start=$(date +%s)
    nice -n 19 "$bin" -max_total_time="$secs" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$findings/" "${dirs[@]}" >"$log" 2>&1
    rc=$?
    took=$(($(date +%s) - start))
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -1)
    cov=$(grep -ao 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    ft=$(grep -ao 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
    found=$(($(ls "$findings" | wc -l) - before))
    note=$found
    if [ "$rc" -ne 0 ]; then
        note="$found (exit $rc: $(grep -a -m1 -E 'ERROR: |runtime error:|deadly signal|uncaught' "$log" | cut -c1-90))"
        status=1
    fi
    printf '%-13s %8s %10s %8s %6s %7s %s\n' "$t" "$took" "${execs:-?}" "${rate:-?}" "${cov:-?}" \
        "${ft:-?}" "$note"
done
echo "logs in $build/logs, findings in $build/findings"
exit $status
