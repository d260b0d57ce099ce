# The differential check against Wine, small and fixed: 200 generated INF
# and 100 INI files (seed 12) dumped by the native infdump and profdump
# and by the Windows build's under Wine (scripts/differential.py); all 500
# outputs must be identical once the documented Windows-over-Wine answers
# are allowed for.
#
# Sourced by run.sh (it uses run.sh's prefix, `build` and `fail`), or run
# on its own: bash tests/wine/differential_runs.sh, with the Windows build
# in MIRTEL_WINDOWS_BUILD (default: the one this host runs, see
# scripts/wine-env.sh). The native dumpers come
# from MIRTEL_NATIVE_BUILD (default build/native).

scenario_differential() {
  local native="${MIRTEL_NATIVE_BUILD:-build/native}"
  if ! python3 scripts/differential.py --inf 200 --ini 100 --seed 12 --native "$native" --windows "$build" \
    --target 100 >"$results/differential.txt" 2>&1; then
    fail "$(tail -n 1 "$results/differential.txt")"
  fi
  echo "$(tail -n 1 "$results/differential.txt")"
}
differential_scenarios=(differential)

# On its own: one prefix, this one scenario, and the summary line.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  cd "$(dirname "$0")/../.."
  source scripts/wine-env.sh
  build="$PWD/${MIRTEL_WINDOWS_BUILD:-$WINE_ENV_BUILD}"
  case "${MIRTEL_WINDOWS_BUILD:-}" in /*) build="$MIRTEL_WINDOWS_BUILD" ;; esac
  results="$(mktemp -d -t mirtel-wine-results.XXXXXX)"
  trap 'wine_env_stop; rm -rf "$results"' EXIT
  wine_env_start
  scenario_failed=0
  fail() {
    echo "  FAIL: $*"
    scenario_failed=1
  }
  t=$SECONDS
  scenario_differential
  if [ "$scenario_failed" = 0 ]; then
    echo "scenario differential: ok ($((SECONDS - t)) s)"
    echo "1 passed, 0 failed"
  else
    echo "scenario differential: FAILED ($((SECONDS - t)) s); output:"
    sed 's/^/    /' "$results/differential.txt"
    echo "0 passed, 1 failed"
    exit 1
  fi
fi
