#!/usr/bin/env bash
# Builds both builds and runs every test: the native unit and scenario
# tests (with the conformance comparisons), then the Windows build under
# Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh all
jobs="${MIRTEL_JOBS:-2}"

cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRTEL_WERROR=ON >/dev/null
cmake --build build/native -j "$jobs"
(cd build/native && ctest --output-on-failure -j "$jobs" --timeout 300)

if [ -x tests/wine/run.sh ] || [ -f tests/wine/run.sh ]; then
  bash tests/wine/run.sh
fi
