#!/usr/bin/env bash
# Builds the program, writes the factory-sized benchmark database once (2,000 workers, 200 work
# types, 1,000,000 entries, 20,000 rewards and punishments), runs every benchmark headless and
# writes the figures to bench/results.md.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
export QT_QPA_PLATFORM=offscreen

database=build/bench/factory/Qirvo.mdb
if [ ! -f "$database" ]; then
  mkdir -p "$(dirname "$database")"
  build/Qirvo/qirvo-makedemo "$database" --last-day 2026-11-30
fi

factory=$(mktemp)
grid=$(mktemp)
trap 'rm -f "$factory" "$grid"' EXIT
build/bench/bench_factory "$database" "$factory"
build/bench/bench_grid | tee "$grid"

{
  echo "# Benchmark figures"
  echo
  echo "Measured by \`bash bench/run.sh\` on $(date -u +%Y-%m-%d), $(nproc) CPUs ($(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | xargs))."
  echo "Database: 2,000 workers, 200 work types, 1,000,000 entries, 20,000 rewards and punishments."
  echo "Times are medians of repeated runs; \"bare SQL\" is the same statement prepared, stepped and read"
  echo "with the SQLite library alone on the same file, the lower bound for this design."
  echo
  cat "$factory"
  echo
  echo "## A 200,000-row list in the grid"
  echo
  sed 's/^/    /' "$grid"
} > bench/results.md
echo "written: bench/results.md"
