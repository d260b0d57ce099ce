#!/usr/bin/env bash
# Cross-compiles the Windows build (SETUP.EXE and the Wine test programs)
# with MinGW-w64.
#   build-windows.sh [i686|x86_64] [target...]
#     i686    32-bit x86, what ships (default); build folder build/windows
#     x86_64  64-bit x86, the test vehicle on hosts that cannot run 32-bit
#             programs; build folder build/windows-x86_64
#     target  only these targets (e.g. setup: SETUP.EXE alone); default all
#   MIRTEL_WINDOWS_BUILD  build folder (default: as above)
#   MIRTEL_JOBS           parallel jobs (default: 2)
set -euo pipefail
cd "$(dirname "$0")/.."
arch="${1:-i686}"
shift || true
targets=()
for target in "$@"; do targets+=(--target "$target"); done
case "$arch" in
  i686) default_build=build/windows ;;
  x86_64) default_build=build/windows-x86_64 ;;
  *) echo "usage: $0 [i686|x86_64]" >&2; exit 2 ;;
esac
build="${MIRTEL_WINDOWS_BUILD:-$default_build}"
jobs="${MIRTEL_JOBS:-2}"

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DMIRTEL_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$jobs" "${targets[@]}"
echo "Built $build/bin/SETUP.EXE ($arch)"
