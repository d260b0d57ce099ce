#!/usr/bin/env bash
# Wall time and peak memory of whole native runs of the installer on the
# example package, with an Add Printer Wizard stand-in that ends at once.
# Usage: scripts/bench-run.sh [build-folder] [runs]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/native}"
runs="${2:-50}"
package="$build/package"
[ -x "$package/setup" ] || { echo "build first: $package/setup is missing" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
export MIRTEL_MACHINE="$work/machine"
# The first run makes the machine from its template; then the wizard
# becomes a program that ends at once.
"$package/setup" </dev/null >/dev/null 2>&1 || true
sed -i 's|^rundll32=.*|rundll32=/bin/true|' "$MIRTEL_MACHINE/machine.ini"

total_ms=0
peak_kb=0
for _ in $(seq "$runs"); do
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$work/rss" "$package/setup" </dev/null >/dev/null 2>&1
  end=$(date +%s%N)
  total_ms=$(( total_ms + (end - start) / 1000 ))
  rss=$(cat "$work/rss")
  [ "$rss" -gt "$peak_kb" ] && peak_kb=$rss
done
echo "runs: $runs"
echo "mean wall time: $(( total_ms / runs )) us per run"
echo "peak memory (max RSS): $peak_kb KiB"
