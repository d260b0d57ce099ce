#!/usr/bin/env bash
# Wall time of mirtel-check (native build):
#   the example package, 5 families x 7 languages        budget 2 s
#   500 INF files in one folder (every one copied into
#   the INF store on 95/98 or NT 4.0), 7 languages        budget 10 s
#   500 INF files in 50 model folders, 7 languages        budget 10 s
# Usage: scripts/bench-check.sh [build-folder]
# Exit status 1 when a figure is over its budget.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/native}"
check="$build/bin/mirtel-check"
[ -x "$check" ] || { echo "build first: $check is missing" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# An INF for the 95 family ($CHICAGO$) or the NT family offering one model.
write_inf() {  # file signature model
  printf '[Version]\r\nSignature="%s"\r\nClass=Printer\r\nProvider=%%Talvo%%\r\n[Manufacturer]\r\n%%Talvo%%=Talvo\r\n[Talvo]\r\n"Talvo Model %s" = %s.PPD\r\n[%s.PPD]\r\nDataFile=%s.PPD\r\n[Strings]\r\nTalvo="Talvo"\r\n' \
    "$2" "$3" "$3" "$3" "$3" >"$1"
}
signature() { if [ "$(( $1 % 2 ))" -eq 0 ]; then echo '$CHICAGO$'; else echo '$Windows NT$'; fi; }

# The example's message files with 500 INF files, half for each family:
# all in the package folder, where the installer takes every one of them,
# and laid out as a driver CD often is, 50 model folders of 10, where it
# takes the first folder's (the static checks read all 500 either way).
flat="$work/flat"
mkdir -p "$flat"
cp -r "$build/package/RES" "$flat/"
for i in $(seq 0 499); do
  write_inf "$flat/M$i.INF" "$(signature "$i")" "M$i"
done
folders="$work/folders"
mkdir -p "$folders"
cp -r "$build/package/RES" "$folders/"
for folder in $(seq -w 1 50); do
  mkdir -p "$folders/MODEL$folder"
  for i in $(seq 0 9); do
    write_inf "$folders/MODEL$folder/M$folder$i.INF" "$(signature "$i")" "M$folder$i"
  done
done

status=0
measure() {  # name budget-ms package
  local start end ms
  start=$(date +%s%N)
  "$check" "$3" >"$work/out" 2>&1 || { echo "$1: mirtel-check found problems:" >&2; tail -5 "$work/out" >&2; status=1; }
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
  printf '%-32s %6d ms   (budget %d ms)\n' "$1" "$ms" "$2"
  [ "$ms" -le "$2" ] || status=1
}
measure "example package" 2000 "$build/package"
measure "500 INF files, one folder" 10000 "$flat"
measure "500 INF files, 50 folders" 10000 "$folders"
exit $status
