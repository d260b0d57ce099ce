#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) in their own build folder and runs each for the given time,
# seeded from the conformance cases, the example package and
# tests/fuzz/seeds. Reports executions and findings per target.
#
# Usage: scripts/fuzz.sh <seconds> [target ...]
#   targets: inf_engine_fuzz profile_fuzz registry_text_fuzz command_line_fuzz
#            (default: all, one after the other)
# Environment: MIRTEL_FUZZ_BUILD  build folder (default build/fuzz)
#
# The corpus each target grows is kept in <build>/corpus/<target>; inputs
# that crash, leak or hang are written to <build>/findings/ and the log of
# each run to <build>/logs/<target>.log. Exit status 1 when a run found
# anything.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -lt 1 || ! "$1" =~ ^[0-9]+$ ]]; then
  sed -n '7,10p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
seconds="$1"
shift
all_targets=(inf_engine_fuzz profile_fuzz registry_text_fuzz command_line_fuzz)
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=("${all_targets[@]}")
build="${MIRTEL_FUZZ_BUILD:-build/fuzz}"

echo "== building ${targets[*]} in $build"
mkdir -p "$build"
(
  # Two runs of this script may share the build folder.
  flock 9
  if [[ ! -f "$build/CMakeCache.txt" ]]; then
    CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DMIRTEL_FUZZ=ON -DMIRTEL_TESTS=OFF >/dev/null
  fi
  cmake --build "$build" -j2 --target "${targets[@]}" >/dev/null
) 9>"$build/.build.lock"

# Seeds: the INF engine's get one byte of options first (code page 1252 and
# 932); "@@append@@" joins a file and the one appended to it.
seed_inf() {
  local out="$1"
  local n=0
  for file in tests/conformance/inf/*.inf examples/package/*.INF; do
    [[ -f "$file" ]] || continue
    for options in '\x00' '\x01'; do
      { printf "$options"; cat "$file"; } >"$out/seed-$((n++))"
    done
  done
  { printf '\x00'; cat tests/conformance/inf/append_layout.inf; printf '\n@@append@@\n';
    cat tests/conformance/inf/append_child.inf; } >"$out/seed-$((n++))"
}

seed() {
  local target="$1" out="$2"
  mkdir -p "$out"
  case "$target" in
    inf_engine_fuzz) seed_inf "$out" ;;
    profile_fuzz)
      cp tests/conformance/ini/*.ini "$out"/
      cp examples/package/RES/* "$out"/ 2>/dev/null || true ;;
    registry_text_fuzz) cp tests/fuzz/seeds/registry/* "$out"/ ;;
    command_line_fuzz) cp tests/fuzz/seeds/command_line/* "$out"/ ;;
  esac
}

status=0
for target in "${targets[@]}"; do
  binary="$build/bin/$target"
  [[ -x "$binary" ]] || { echo "no such target: $target" >&2; exit 2; }
  corpus="$build/corpus/$target"
  seeds="$build/seeds/$target"
  findings="$build/findings"
  log="$build/logs/$target.log"
  rm -rf "$seeds"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  seed "$target" "$seeds"
  before=$(ls "$findings" | grep -c "^$target-" || true)
  echo "== $target for ${seconds}s (log $log)"
  # close_fd_mask: the program's own output (message boxes) goes; libFuzzer's
  # and the sanitizers' reports stay.
  nice -n 10 "$binary" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -close_fd_mask=3 \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$corpus" "$seeds" \
    </dev/null >"$log" 2>&1 || status=1
  after=$(ls "$findings" | grep -c "^$target-" || true)
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  echo "   executions: ${executions:-?}  new findings: $((after - before))"
  if [[ $after -gt $before ]]; then
    status=1
    ls "$findings" | grep "^$target-" | sed 's/^/   /'
    grep -m3 -E "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)|runtime error" "$log" | sed 's/^/   /' || true
  fi
done
exit "$status"
