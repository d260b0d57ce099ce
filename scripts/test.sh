#!/usr/bin/env bash
# Builds both builds and runs every test: the native unit and scenario
# tests (with the conformance comparisons) in a build of their own made
# with AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows
# build under Wine (tests/wine/run.sh: which Windows build runs on which
# host is said there), after checking that the i686 image rebuilds byte
# for byte (scripts/reproduce-check.sh). Runs after scripts/demo.sh, before
# it, or again give the same result: the demo's Release build
# (build/native) is not used.
#   MIRTEL_JOBS  parallel jobs (default: 2)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh all
jobs="${MIRTEL_JOBS:-2}"
build=build/test
started=$SECONDS

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# -O1 with line tables: half the compile time of -O2 -g under the
# sanitizers, and reports still name file and line.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMIRTEL_TESTS=ON \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
  -DMIRTEL_SANITIZE=ON -DMIRTEL_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j "$jobs"
echo "native: build ready in $((SECONDS - started)) s"

# Every process the tests start (the program, its tools, the wizard
# stand-in) writes its sanitizer reports here, whether or not the test that
# started it looks at its exit status; any report fails the run.
reports="$(mktemp -d -t mirtel-sanitizer.XXXXXX)"
trap 'rm -rf "$reports"' EXIT
export ASAN_OPTIONS="log_path=$reports/asan:detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1:halt_on_error=1"
t=$SECONDS
status=0
(cd "$build" && ctest --output-on-failure --no-tests=error -j "$jobs" --timeout 300) || status=$?
echo "native: tests ran in $((SECONDS - t)) s"
if [ -n "$(ls -A "$reports")" ]; then
  echo "FAIL: sanitizer reports:"
  for report in "$reports"/*; do
    echo "== $report"
    head -n 60 "$report"
  done
  exit 1
fi
[ "$status" = 0 ] || exit "$status"

unset ASAN_OPTIONS UBSAN_OPTIONS
# The image that ships rebuilds byte for byte in another folder.
t=$SECONDS
bash scripts/reproduce-check.sh i686
echo "reproducible: checked in $((SECONDS - t)) s"
MIRTEL_NATIVE_BUILD="$build" bash tests/wine/run.sh
