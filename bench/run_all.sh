#!/usr/bin/env bash
# `make bench`: every Google Benchmark program, then the whole-line comparison.
set -euo pipefail
build=${1:-build}
for b in "$build"/bench/bench_*; do
    [ -x "$b" ] || continue
    echo "== $(basename "$b")"
    "$b" --benchmark_min_time=0.2
done
echo "== whole_line"
"$(dirname "$0")/whole_line" --build "$build" --runs 3
