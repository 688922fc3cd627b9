#!/usr/bin/env bash
# Runs every benchmark briefly on a quarter-size frame: a smoke run for CI
# that checks the benchmarks work and prints rough figures. It never judges
# the times. Usage: bench/run_short.sh BUILD_DIR [extra benchmark flags]
set -euo pipefail
build_dir=${1:?usage: run_short.sh BUILD_DIR}
shift
exec "$build_dir/bench/tonemill_bench" --frame=960x540 --benchmark_min_time=0.05 "$@"
