#!/usr/bin/env bash
# Runs of the installer killed at random moments (a fixed seed), each
# followed at once by a start that must repair or install, on a Windows 98
# and a Windows XP machine; every device-path value must come back byte for
# byte and the backup key must end empty. The test suite runs 10 kills per
# machine; this runs as many as asked.
# Usage: scripts/kill-soak.sh [build-folder] [kills per machine]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/native}"
kills="${2:-100}"
tests="$build/bin/mirtel_scenario_tests"
[ -x "$tests" ] || { echo "build first: $tests is missing" >&2; exit 1; }

start=$(date +%s%N)
status=0
output=$(MIRTEL_RANDOM_KILLS="$kills" "$tests" \
  --gtest_filter='Families/NineXAndNtScenario.RunsKilledAtRandomMomentsAreAlwaysRepaired/*') || status=$?
end=$(date +%s%N)
grep -E 'kills on|Failure|^\[  (PASSED|FAILED) ' <<<"$output" || true
echo "time: $(( (end - start) / 1000000 )) ms"
exit "$status"
