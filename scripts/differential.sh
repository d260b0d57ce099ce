#!/usr/bin/env bash
# The large differential check against Wine: 2,000 generated INF and 1,000
# INI files (seed 12), 5,000 outputs per side, through the native dumpers
# and the Windows build's under Wine (scripts/differential.py, which lists
# the classes of remaining differences with a reproducer each). Fails on
# any difference left once the documented Windows-over-Wine answers are
# applied (tests/conformance/BEHAVIOURS.md).
#   MIRTEL_NATIVE_BUILD   native build with infdump and profdump (default build/native)
#   MIRTEL_WINDOWS_BUILD  Windows build (default: the one this host runs,
#                         build/windows or build/windows-x86_64; built
#                         first when its dumpers are missing)
#   extra arguments go to differential.py (e.g. --seed 5 --work /tmp/keep)
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-env.sh
windows="${MIRTEL_WINDOWS_BUILD:-$WINE_ENV_BUILD}"
if [ ! -x "$windows/bin/infdump.exe" ] || [ ! -x "$windows/bin/profdump.exe" ]; then
  MIRTEL_WINDOWS_BUILD="$windows" bash scripts/build-windows.sh "$WINE_ENV_ARCH" >/dev/null
fi
trap wine_env_stop EXIT
wine_env_start
python3 scripts/differential.py --inf 2000 --ini 1000 --seed 12 --target 100 \
  --native "${MIRTEL_NATIVE_BUILD:-build/native}" --windows "$windows" "$@"
