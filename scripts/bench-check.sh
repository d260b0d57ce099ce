#!/usr/bin/env bash
# Wall time of mirtel-check (native build):
#   the example package, 5 families x 7 languages        budget 2 s
#   a package of 500 INF files in 50 model folders, in
#   the example's 7 languages                            budget 10 s
# Usage: scripts/bench-check.sh [build-folder]
# Exit status 1 when a figure is over its budget.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/native}"
check="$build/bin/mirtel-check"
[ -x "$check" ] || { echo "build first: $check is missing" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The example's message files and 500 INF files laid out as a driver CD
# often is: 50 model folders, each with 5 INF files for the 95 family and 5
# for the NT family, every file offering its own model. (The installer
# takes the INF files of one folder; all 500 are read by the static checks.)
big="$work/package"
mkdir -p "$big"
cp -r "$build/package/RES" "$big/"
for folder in $(seq -w 1 50); do
  mkdir -p "$big/MODEL$folder"
  for i in $(seq 0 9); do
    if [ "$i" -lt 5 ]; then signature='$CHICAGO$'; else signature='$Windows NT$'; fi
    name="M$folder$i"
    printf '[Version]\r\nSignature="%s"\r\nClass=Printer\r\nProvider=%%Talvo%%\r\n[Manufacturer]\r\n%%Talvo%%=Talvo\r\n[Talvo]\r\n"Talvo Model %s" = %s.PPD\r\n[%s.PPD]\r\nDataFile=%s.PPD\r\n[Strings]\r\nTalvo="Talvo"\r\n' \
      "$signature" "$name" "$name" "$name" "$name" >"$big/MODEL$folder/$name.INF"
  done
done

status=0
measure() {  # name budget-ms package
  local start end ms
  start=$(date +%s%N)
  "$check" "$3" >"$work/out" 2>&1 || { echo "$1: mirtel-check found problems:" >&2; tail -5 "$work/out" >&2; status=1; }
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
  printf '%-28s %6d ms   (budget %d ms)\n' "$1" "$ms" "$2"
  [ "$ms" -le "$2" ] || status=1
}
measure "example package" 2000 "$build/package"
measure "500 INF files" 10000 "$big"
exit $status
