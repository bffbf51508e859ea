#!/usr/bin/env bash
# Builds and runs the benchmarks headless.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
QT_QPA_PLATFORM=offscreen build/bench/bench_grid
