#!/usr/bin/env bash
# The INF engine side by side with Wine's setupapi.dll, shape by shape: the
# corpus of scripts/make-bench-corpus.py (long lines, short lines, a large
# [Strings] section, many small sections, UTF-16; 1, 10 and 50 MB each) is
# opened with SetupOpenInfFileA by the native build's "SetupApi.DLL"
# (tools/inf-bench, which also measures the open's peak memory) and by Wine
# (tools/wine-probes/inf_open_probe.cpp, built with MinGW for the Windows
# build this host runs: i686, else x86_64 under the 64-bit loader; see
# scripts/wine-env.sh), in the same run.
#
# Prints one row per file: the fastest open on each side in wall time and
# in the opening thread's processor time, Wine's wall time as a multiple of
# the native one (Wine counts processor time in steps of 10 ms or more), the
# native throughput in MB/s of the file's bytes and cost per MB (equal down a
# shape's rows when the cost grows linearly with size), both from processor
# time, which the other processes of a busy machine do not inflate, and the
# open's peak memory as a multiple of the file; then the rows that miss a
# target (10 x Wine, 500 MB/s of ANSI input, 1.5 x the file).
#
# Usage: scripts/bench-inf.sh [build-folder] [runs] [MB ...]
#   build-folder  native Release build to use or make (default build/bench-inf)
#   runs          opens timed on each side (default 3; the native side
#                 takes at least 10, as its opens last milliseconds and the
#                 fastest of more is less disturbed by other processes)
#   MB            corpus sizes (default 1 10 50)
#   MIRTEL_BENCH_WINE_LIMIT  seconds Wine's runs may take for one file (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/bench-inf}"
runs="${2:-3}"
native_runs=$((runs > 10 ? runs : 10))
shift $(($# > 2 ? 2 : $#))
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1 10 50)
wine_limit="${MIRTEL_BENCH_WINE_LIMIT:-60}"

work="$(mktemp -d)"
cleanup() {
  WINEPREFIX="$work/wineprefix" wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "== building inf-bench (Release) in $build"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRTEL_TESTS=OFF "${launcher[@]}" >/dev/null
ninja -C "$build" -j2 inf-bench >/dev/null

echo "== writing the corpus (${sizes[*]} MB)"
python3 scripts/make-bench-corpus.py "$work/corpus" "${sizes[@]}" >/dev/null

mkdir -p "$work/machine/drive_c/windows/system32" "$work/machine/drive_c/windows/inf"
printf '[System]\nSystemDirectory=C:\\windows\\system32\nAnsiCodePage=1252\n' >"$work/machine/machine.ini"

source scripts/wine-env.sh
echo "== Wine: $("$WINE_ENV_LOADER" --version), $WINE_ENV_ARCH probe; $runs opens per file ($native_runs natively)"
"$WINE_ENV_ARCH-w64-mingw32-g++" -O2 -static -o "$work/inf_open_probe.exe" tools/wine-probes/inf_open_probe.cpp -lsetupapi
export WINEPREFIX="$work/wineprefix" WINEDEBUG=-all
env LC_ALL=en_US.UTF-8 WINEDLLOVERRIDES='mscoree,mshtml=' "$WINE_ENV_LOADER" wineboot --init >/dev/null 2>&1

echo "(times in ms: wall, then processor; the ratio of wall times; MB/s and ms/MB from processor time)"
printf '%-16s %6s %7s %7s %9s %9s %8s %6s %6s %7s\n' file MiB native cpu wine cpu ratio MB/s ms/MB memory
misses=()
for shape in long short strings sections utf16; do
  for mb in "${sizes[@]}"; do
    file="$work/corpus/$shape-${mb}mb.inf"
    MIRTEL_MACHINE="$work/machine" "$build/bin/inf-bench" "$file" "$native_runs" >"$work/native.txt"
    # Wine's open of many sections grows with their square: when its runs
    # do not end within the limit, each open is taken to have lasted the
    # limit's share (a lower bound).
    if ! wine_within "$wine_limit" "$work/inf_open_probe.exe" "Z:$(echo "$file" | tr / '\\')" "$runs" \
      >"$work/wine.txt" 2>/dev/null; then
      printf 'open: min %d ms (over the limit)\nopen, processor time: min %d ms\n' \
        $((wine_limit * 1000 / runs)) $((wine_limit * 1000 / runs)) >"$work/wine.txt"
    fi
    row=$(awk -v name="$(basename "$file")" -v bytes="$(stat -c %s "$file")" -v shape="$shape" '
      FNR == 1 { side++ }
      side == 1 && /^open: min/ { native = $3 }
      side == 1 && /^open, processor time: min/ { nativeCpu = $5 }
      side == 2 && /^open, processor time: min/ { wineCpu = $5 }
      side == 1 && /^peak memory/ { memory = $(NF - 3); sub(/^\(/, "", memory) }
      side == 2 && /^open: min/ { wine = $3; over = /over the limit/ }
      END {
        mb = bytes / 1e6
        ratio = wine / native; throughput = mb / (nativeCpu / 1000)
        printf "%-16s %6.1f %7.1f %7.1f %8.0f%s %8.0f%s %6.1f%sx %6.0f %6.2f %6.2fx", name, bytes / 1048576, native,
               nativeCpu, wine, over ? ">" : " ", wineCpu, over ? ">" : " ", ratio, over ? ">" : " ", throughput,
               nativeCpu / mb, memory
        miss = ""
        if (ratio < 10) miss = miss " ratio"
        if (shape != "utf16" && throughput < 500) miss = miss " throughput"
        if (memory > 1.5) miss = miss " memory"
        if (miss != "") printf " |%s", miss
      }' "$work/native.txt" "$work/wine.txt")
    echo "${row%% |*}"
    case "$row" in *" |"*) misses+=("$(basename "$file"):${row#* |}") ;; esac
  done
done
if [ ${#misses[@]} -eq 0 ]; then
  echo "== every file meets the targets (10 x Wine, 500 MB/s of ANSI input, 1.5 x the file)"
else
  echo "== targets missed (10 x Wine, 500 MB/s of ANSI input, 1.5 x the file):"
  printf '   %s\n' "${misses[@]}"
fi
