#!/usr/bin/env bash
# Time and heap use of the INF steps on generated data (native build):
#   kCheckInfFile over 2,000 INF files in nested folders      budget 0.5 s
#   kCopyOemInf on NT 4.0 against 1,000 OEM INF files          budget 1 s
#   peak heap of each step                    budget 4 x the largest INF
# (the heap budgets alone are a test: InfStepsHeapBudget runs
# mirtel-inf-steps-bench --heap)
# Usage: scripts/bench-inf-steps.sh [build-folder] [runs]
# Exit status 1 when a figure is over its budget.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/bench}"
runs="${2:-5}"
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
if ! { cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRTEL_TESTS=OFF &&
       cmake --build "$build" -j "${MIRTEL_JOBS:-2}" --target mirtel-inf-steps-bench; } >"$log" 2>&1; then
  cat "$log" >&2
  exit 2
fi
"$build/bin/mirtel-inf-steps-bench" "$runs"
