#!/usr/bin/env bash
# Wall time of mirtel-check (native build):
#   the example package, 5 families x 7 languages        budget 2 s
#   500 INF files in one folder (every one copied into
#   the INF store on 95/98 or NT 4.0), 7 languages        budget 10 s
#   500 INF files in 50 model folders, 7 languages        budget 10 s
#   one 50 MB INF of 672,000 models, 7 languages          budget 8 s, and the
#     peak memory of the check and its runs together under 3 times the INF;
#     then Ctrl-C in its runs must leave no temporary folder and no process
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

# The example's message files and TALVO95.INF with one NT INF of 672,000
# models, 50 MB: a driver CD for a whole product line in one file.
large="$work/large"
mkdir -p "$large"
cp -r "$build/package/RES" "$build/package/TALVO95.INF" "$large/"
awk 'BEGIN {
  printf "[Version]\r\nSignature=\"$Windows NT$\"\r\nClass=Printer\r\nProvider=%%Talvo%%\r\n[Manufacturer]\r\n%%Talvo%%=Talvo\r\n[Talvo]\r\n"
  for (i = 0; i < 672000; i++) printf "\"Talvo ImageWriter %06d PS\" = TIW%06d.PPD, LPTENUM\\TalvoImageWriter_%06d\r\n", i, i, i
  printf "[Strings]\r\nTalvo=\"Talvo\"\r\n"
}' >"$large/LARGE.INF"

status=0
# The summed resident memory (KB) of the check and of every process working
# on one of its machines (they are found by the TMPDIR given to the check),
# sampled every 20 ms until the check ends; printed to standard output. One
# sampler process: a shell loop over /proc would take a processor of its own
# and slow the check it measures.
peak_memory() {  # check-pid tmpdir
  python3 - "$1" "$2" <<'PY'
import os, sys, time
check, marker = sys.argv[1], ("MIRTEL_MACHINE=" + sys.argv[2]).encode()
# A process is known as one of the check's once its environment says so;
# one that was there before the check is none (a new one may not have
# taken its own environment yet).
ours, peak = {pid: False for pid in os.listdir("/proc") if pid.isdigit() and pid != check}, 0
def rss(pid):
    try:
        with open(f"/proc/{pid}/statm") as f:
            return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE") // 1024
    except OSError:
        return 0
def running(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError:
        return False
while running(check):
    total = 0
    for pid in filter(str.isdigit, os.listdir("/proc")):
        if pid not in ours:
            try:
                with open(f"/proc/{pid}/environ", "rb") as f:
                    if pid != check and marker not in f.read():
                        continue
            except OSError:
                continue
            ours[pid] = True
        if ours[pid]:
            total += rss(pid)
    peak = max(peak, total)
    time.sleep(0.02)
print(peak)
PY
}
measure_large() {  # name budget-ms package
  local start end ms size peak tmp
  tmp="$work/tmp"
  mkdir -p "$tmp"
  size=$(( $(stat -c %s "$3/LARGE.INF") / 1024 ))
  start=$(date +%s%N)
  TMPDIR="$tmp" "$check" "$3" >"$work/out" 2>&1 &
  local pid=$!
  peak=$(peak_memory "$pid" "$tmp")
  wait "$pid" || { echo "$1: mirtel-check found problems:" >&2; tail -5 "$work/out" >&2; status=1; }
  end=$(date +%s%N)
  ms=$(( (end - start) / 1000000 ))
  printf '%-32s %6d ms   (budget %d ms); peak %d MB (budget %d MB: 3 x the INF)\n' "$1" "$ms" "$2" \
    $((peak / 1024)) $((3 * size / 1024))
  [ "$ms" -le "$2" ] || status=1
  [ "$peak" -le $((3 * size)) ] || status=1
}
# Ctrl-C while the installer runs on the large package: the check ends with
# 130, and neither a temporary machine nor a process is left.
interrupt_large() {  # package
  local tmp="$work/interrupted" waited=0 code=0 left
  mkdir -p "$tmp"
  TMPDIR="$tmp" "$check" "$1" >/dev/null 2>&1 &
  local pid=$!
  until grep -qla "MIRTEL_MACHINE=$tmp" /proc/[0-9]*/environ 2>/dev/null || [ "$waited" -ge 600 ]; do
    sleep 0.05
    waited=$((waited + 1))
  done
  kill -INT "$pid"
  wait "$pid" || code=$?
  left=$( (ls -A "$tmp"; grep -la "MIRTEL_MACHINE=$tmp" /proc/[0-9]*/environ 2>/dev/null || true) | wc -l)
  printf '%-32s exit %d, %d temporary folders or processes left\n' "Ctrl-C on the 50 MB INF" "$code" "$left"
  [ "$code" -eq 130 ] && [ "$left" -eq 0 ] || status=1
}
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
measure_large "one 50 MB INF" 8000 "$large"
interrupt_large "$large"
exit $status
