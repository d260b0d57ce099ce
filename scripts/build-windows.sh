#!/usr/bin/env bash
# Cross-compiles the Windows build (SETUP.EXE and the Wine test programs)
# with MinGW-w64 for 32-bit x86.
#   MIRTEL_WINDOWS_BUILD  build folder (default: build/windows)
#   MIRTEL_JOBS           parallel jobs (default: 2)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${MIRTEL_WINDOWS_BUILD:-build/windows}"
jobs="${MIRTEL_JOBS:-2}"

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DMIRTEL_WERROR=ON >/dev/null
cmake --build "$build" -j "$jobs"
echo "Built $build/bin/SETUP.EXE"
