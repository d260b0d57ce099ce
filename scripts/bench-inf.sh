#!/usr/bin/env bash
# The INF engine side by side with Wine's setupapi.dll: a ~19 MB printer
# INF with 50,000 models is opened with SetupOpenInfFileA by the native
# build's "SetupApi.DLL" (tools/inf-bench, which also times the installer's
# walk of the model names and the open's peak memory) and by Wine
# (tools/wine-probes/inf_open_probe.cpp, built with MinGW for the Windows
# build this host runs: i686, else x86_64 under the 64-bit loader; see
# scripts/wine-env.sh).
#
# Usage: scripts/bench-inf.sh [build-folder] [runs]
#   build-folder  native Release build to use or make (default build/bench-inf)
#   runs          opens timed on each side (default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/bench-inf}"
runs="${2:-10}"

work="$(mktemp -d)"
cleanup() {
  WINEPREFIX="$work/wineprefix" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== building inf-bench (Release) in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRTEL_TESTS=OFF >/dev/null
ninja -C "$build" -j2 inf-bench >/dev/null

echo "== writing the INF"
python3 scripts/make-bench-inf.py "$work/bench.inf"
ls -l "$work/bench.inf" | awk '{print $5 " bytes"}'

echo "== native SetupApi.DLL"
mkdir -p "$work/machine/drive_c/windows/system32" "$work/machine/drive_c/windows/inf"
printf '[System]\nSystemDirectory=C:\\windows\\system32\nAnsiCodePage=1252\n' >"$work/machine/machine.ini"
MIRTEL_MACHINE="$work/machine" "$build/bin/inf-bench" "$work/bench.inf" "$runs" | tee "$work/native.txt"

source scripts/wine-env.sh
echo "== Wine setupapi.dll ($("$WINE_ENV_LOADER" --version), $WINE_ENV_ARCH probe)"
"$WINE_ENV_ARCH-w64-mingw32-g++" -O2 -static -o "$work/inf_open_probe.exe" tools/wine-probes/inf_open_probe.cpp -lsetupapi
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all
env LC_ALL=en_US.UTF-8 WINEDLLOVERRIDES='mscoree,mshtml=' "$WINE_ENV_LOADER" wineboot --init >/dev/null 2>&1
wine "$work/inf_open_probe.exe" "Z:$(echo "$work/bench.inf" | tr / '\\')" "$runs" | tee "$work/wine.txt"

native=$(awk '/^open: min/ {print $3}' "$work/native.txt")
wine=$(awk '/^open: min/ {print $3}' "$work/wine.txt")
awk -v n="$native" -v w="$wine" 'BEGIN { printf "== fastest open: native %.1f ms, Wine %.1f ms: native is %.1f times as fast\n", n, w, w / n }'
