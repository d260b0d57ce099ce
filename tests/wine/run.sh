#!/usr/bin/env bash
# The Windows build under Wine: builds it, makes one throw-away Wine prefix
# (Xvfb, wineboot), runs the Windows-side GoogleTest program, then whole
# runs of SETUP.EXE driven by wine_parent.exe, each on a fresh copy of the
# example package, asserting on the message boxes shown and the result
# message posted, as the native scenarios assert on the transcript. Ends
# with the line "N passed, N failed" (each GoogleTest case and each
# scenario counts once, for each Windows build run) and a non-zero status
# when anything failed.
#
# Which Windows build runs: where this host runs 32-bit programs, the i686
# build (what ships); where it cannot, the x86_64 build, under Wine's 64-bit
# loader. A host without 32-bit support is not a
# failure: the run says so in one line.
#   MIRTEL_WINE_ARCH      the builds to run, "i686", "x86_64" or both
#                         ("i686 x86_64"); overrides the host's probe
#   MIRTEL_WINDOWS_BUILD  build folder when one build runs (default:
#                         build/windows, or build/windows-x86_64)
#   MIRTEL_WINE_KEEP=1    print every scenario's output, passed or not
set -euo pipefail
cd "$(dirname "$0")/../.."
passed=0
failed=0
started=$SECONDS

# The summary is the last line whatever ends the run; a run cut short by an
# unexpected error counts that as one more failure.
finish() {
  local status=$?
  set +e
  if [ "$status" != 0 ] && [ "$failed" = 0 ]; then
    echo "FAIL: the run ended early (status $status)${scenario:+ in scenario $scenario}"
    failed=1
  fi
  if [ -n "${WINEPREFIX:-}" ]; then wine_env_stop; fi
  rm -rf "${results:-}"
  echo "wine: $((SECONDS - started)) s in all"
  echo "$passed passed, $failed failed"
  [ "$failed" = 0 ] || exit 1
}
trap finish EXIT

source scripts/wine-env.sh
if [ -n "${MIRTEL_WINE_ARCH:-}" ]; then
  read -r -a architectures <<<"$MIRTEL_WINE_ARCH"
else
  architectures=("$WINE_ENV_ARCH")
  [ "$WINE_ENV_ARCH" = i686 ] ||
    echo "wine: this host cannot run 32-bit programs; running the x86_64 build under the 64-bit loader"
fi
for arch in "${architectures[@]}"; do
  case "$arch" in
    i686 | x86_64) ;;
    *) echo "FAIL: MIRTEL_WINE_ARCH names no Windows build: $arch"; failed=1; exit 1 ;;
  esac
done
if [ ${#architectures[@]} != 1 ]; then unset MIRTEL_WINDOWS_BUILD; fi

for arch in "${architectures[@]}"; do
  t=$SECONDS
  build_log="$(mktemp -t mirtel-wine-build.XXXXXX)"
  if ! bash scripts/build-windows.sh "$arch" >"$build_log" 2>&1; then
    cat "$build_log"
    rm -f "$build_log"
    echo "FAIL: the $arch Windows build"
    failed=1
    exit 1
  fi
  rm -f "$build_log"
  echo "wine: $arch Windows build ready in $((SECONDS - t)) s"
done

results="$(mktemp -d -t mirtel-wine-results.XXXXXX)"
t=$SECONDS
wine_env_start
echo "wine: prefix ready in $((SECONDS - t)) s ($WINEPREFIX, DISPLAY=$DISPLAY)"
current_version=""

fail() {
  echo "  FAIL: $*"
  scenario_failed=1
}

# --- Windows-side GoogleTest program ----------------------------------------

run_gtest() {
  t=$SECONDS
  local gtest_status=0 gtest_passed gtest_failed
  (cd "$build/bin" && wine_within 300 mirtel_wine_tests.exe) 2>&1 | tr -d '\r' >"$results/gtest.txt" ||
    gtest_status=$?
  gtest_passed="$(grep -c '^\[       OK \]' "$results/gtest.txt" || true)"
  gtest_failed="$(grep -cE '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$results/gtest.txt" || true)"
  # A crash or a time-out fails the program even when no case said so.
  if [ "$gtest_status" != 0 ] && [ "$gtest_failed" = 0 ]; then gtest_failed=1; fi
  passed=$((passed + gtest_passed))
  failed=$((failed + gtest_failed))
  echo "gtest ($arch): $gtest_passed passed, $gtest_failed failed in $((SECONDS - t)) s"
  if [ "$gtest_failed" != 0 ] || [ "${MIRTEL_WINE_KEEP:-0}" = 1 ]; then
    if [ "${MIRTEL_WINE_KEEP:-0}" = 1 ]; then
      cat "$results/gtest.txt"
    elif grep -qE '^\[  FAILED  \] .* \([0-9]+ ms\)$' "$results/gtest.txt"; then
      # Each failed case's own output, from its RUN line to its FAILED line.
      awk '/^\[ RUN      \]/ { block = "" }
           { block = block "    " $0 "\n" }
           /^\[  FAILED  \] .* \([0-9]+ ms\)$/ { printf "%s", block; block = "" }' "$results/gtest.txt"
    else
      tail -20 "$results/gtest.txt" | sed 's/^/    /'
    fi
  fi
}

# --- Helpers for whole runs -------------------------------------------------

use_version() {
  if [ "$current_version" != "$1" ]; then
    wine_env_set_version "$1"
    current_version="$1"
  fi
}

# reg.exe on the registry view SETUP.EXE sees in the 64-bit prefix: the
# 32-bit view for the i686 build, the 64-bit one for the x86_64 build.
reg_setup() {
  local view=/reg:64
  [ "$arch" = i686 ] && view=/reg:32
  wine reg "$@" "$view" 2>/dev/null | tr -d '\r'
}

# Prints "TYPE DATA" of a value, or nothing when it is absent.
reg_setup_value() {
  reg_setup query "$1" /v "$2" | awk -v name="$2" '
    { line = $0; sub(/^ +/, "", line) }
    index(line, name "    ") == 1 {
      rest = substr(line, length(name) + 5); split(rest, parts, "    ")
      print parts[1], substr(rest, length(parts[1]) + 5) }'
}

# run_setup NAME [wine_parent options...] -- [SETUP.EXE arguments...]
# Runs wine_parent.exe on a fresh copy of the example package in
# C:\mirtel\NAME (NAME is the scenario's name); its output goes to
# $results/NAME.txt. Set `prepare` to a function to change the copy first
# (it gets the copy's folder), and WINE_LOCALE for another system language
# (see scripts/wine-env.sh).
run_setup() {
  local name="$1"
  shift
  local options=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    options+=("$1")
    shift
  done
  [ $# -gt 0 ] && shift
  local folder="$WINEPREFIX/drive_c/mirtel/$name"
  rm -rf "$folder"
  mkdir -p "$folder"
  cp -r "$build/package/." "$folder/"
  if [ -n "${prepare:-}" ]; then "$prepare" "$folder"; fi
  wine_within 200 "$build/bin/wine_parent.exe" --timeout=120 "${options[@]}" \
    "C:\\mirtel\\$name\\SETUP.EXE" "$@" >"$results/$name.txt" 2>"$results/$name.err" || true
}

# expect NAME LINE: the output has exactly this line (fields joined by tabs).
expect() {
  grep -qxF -- "$2" "$results/$1.txt" || fail "no line [$(printf '%s' "$2" | tr '\t' '|')]"
}

# expect_prefix NAME TEXT: some line starts with TEXT.
expect_prefix() {
  grep -qF -- "$2" <(cut -c1-${#2} "$results/$1.txt") || fail "no line starting [$(printf '%s' "$2" | tr '\t' '|')]"
}

# expect_none NAME TEXT: no line starts with TEXT.
expect_none() {
  if grep -qF -- "$2" <(cut -c1-${#2} "$results/$1.txt"); then
    fail "unexpected line starting [$(printf '%s' "$2" | tr '\t' '|')]"
  fi
}

T=$'\t'
TITLE="Install Printer Driver"
NOTICE_START="box${T}${TITLE}${T}Before you install the printer driver:"
LIVE_KEY='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion'
BACKUP_KEY='HKLM\SOFTWARE\TALVO\IMG\PS'

# --- Scenarios ----------------------------------------------------------------

# A parent installer's run to the end with the system's own Add Printer
# Wizard (Wine's rundll32, which ends at once): the notice, the main
# window, DevicePath put back, and wParam 0.
scenario_full_run_system_wizard() {
  local name=full_run_system_wizard
  use_version win7
  reg_setup add "$LIVE_KEY" /v DevicePath /t REG_EXPAND_SZ /d '%SystemRoot%\inf' /f >/dev/null
  run_setup "$name"
  expect_prefix "$name" "$NOTICE_START"
  expect_prefix "$name" "window${T}${TITLE} - SETUP${T}"
  expect "$name" "posted${T}0x00000000"
  expect "$name" "exit${T}0"
  [ "$(reg_setup_value "$LIVE_KEY" DevicePath)" = 'REG_EXPAND_SZ %SystemRoot%\inf' ] ||
    fail "DevicePath not put back: [$(reg_setup_value "$LIVE_KEY" DevicePath)]"
  [ -z "$(reg_setup_value "$BACKUP_KEY" DevicePath)" ] || fail "backup of DevicePath left behind"
}

# A malformed switch: its box, and wParam 1.
scenario_malformed_switch() {
  use_version winxp
  run_setup malformed_switch -- +Q:x
  expect malformed_switch "box${T}${TITLE}${T}Invalid command line entry\\n+Q:x"
  expect_none malformed_switch "$NOTICE_START"
  expect malformed_switch "posted${T}0x00000001"
}

# A second copy started while the first shows a box ends at once, shows
# nothing and posts nothing: the copy counter is shared between the two
# processes.
scenario_second_copy() {
  use_version winxp
  run_setup second_copy --second-copy-at-box=1 -- +Q:x
  expect second_copy "box${T}${TITLE}${T}Invalid command line entry\\n+Q:x"
  expect_none second_copy "second.box"
  expect second_copy "second.posted${T}none"
  expect second_copy "second.exit${T}0"
  expect second_copy "posted${T}0x00000001"
}

# Values saved by an interrupted run are put back at the next start, which
# ends there: NT 5.x asks for a restart (wParam 0x10000).
scenario_registry_repair() {
  use_version winxp
  reg_setup add "$LIVE_KEY" /v DevicePath /t REG_EXPAND_SZ /d 'C:\redirected' /f >/dev/null
  reg_setup add "$BACKUP_KEY" /v DevicePath /t REG_EXPAND_SZ /d '%SystemRoot%\inf' /f >/dev/null
  run_setup registry_repair
  expect registry_repair "box${T}${TITLE}${T}Registry reset\\nBefore running this program, you must restart Windows."
  expect_none registry_repair "$NOTICE_START"
  expect registry_repair "posted${T}0x00010000"
  [ "$(reg_setup_value "$LIVE_KEY" DevicePath)" = 'REG_EXPAND_SZ %SystemRoot%\inf' ] ||
    fail "DevicePath not repaired: [$(reg_setup_value "$LIVE_KEY" DevicePath)]"
  [ -z "$(reg_setup_value "$BACKUP_KEY" DevicePath)" ] || fail "backup of DevicePath left behind"
}

# The OEM INF step through Wine's own setupapi.dll. On NT 4.0 the
# package's NT INF goes into the INF store as OEM<n>.inf; an older copy of
# some of its models (the 95 family's INF, whose models it all lists) is
# overwritten instead, and that copy's precompiled .pnf goes. On the 95
# family the 95 INF goes to Inf\Other under its provider and its name.
inf_store() { printf '%s' "$WINEPREFIX/drive_c/windows/inf"; }
oem_infs() {
  find "$(inf_store)" -maxdepth 1 -type f -iname 'oem*.inf' -printf '%f\n' | sort
}
clear_oem_infs() {
  find "$(inf_store)" -maxdepth 1 -type f \( -iname 'oem*.inf' -o -iname 'oem*.pnf' \) -delete
}

scenario_oem_inf_nt40() {
  use_version nt40
  clear_oem_infs
  run_setup oem_inf_nt40
  expect oem_inf_nt40 "posted${T}0x00000000"
  local copies
  copies="$(oem_infs)"
  if [ "$(printf '%s' "$copies" | grep -c .)" != 1 ]; then
    fail "expected one OEM INF in the store, found [$copies]"
  elif ! cmp -s "$(inf_store)/$copies" "$build/package/TALVONT.INF"; then
    fail "$copies is not the package's TALVONT.INF"
  fi
}

scenario_oem_inf_nt40_older_copy() {
  use_version nt40
  clear_oem_infs
  cp "$build/package/TALVO95.INF" "$(inf_store)/oem5.inf"
  echo pnf >"$(inf_store)/oem5.pnf"
  run_setup oem_inf_nt40_older_copy
  expect oem_inf_nt40_older_copy "posted${T}0x00000000"
  [ "$(oem_infs)" = oem5.inf ] || fail "expected only oem5.inf in the store, found [$(oem_infs)]"
  cmp -s "$(inf_store)/oem5.inf" "$build/package/TALVONT.INF" || fail "oem5.inf was not overwritten"
  [ ! -e "$(inf_store)/oem5.pnf" ] || fail "oem5.pnf left behind"
}

scenario_oem_inf_win98() {
  use_version win98
  find "$(inf_store)" -maxdepth 1 -type d -iname other -exec rm -rf {} +
  run_setup oem_inf_win98
  expect oem_inf_win98 "posted${T}0x00000000"
  local copy
  copy="$(find "$(inf_store)" -mindepth 2 -maxdepth 2 -ipath '*/other/TalvoTALVO95.INF')"
  if [ -z "$copy" ]; then
    fail "no Inf\\Other\\TalvoTALVO95.INF"
  elif ! cmp -s "$copy" "$build/package/TALVO95.INF"; then
    fail "$copy is not the package's TALVO95.INF"
  fi
}

scenarios=(
  full_run_system_wizard malformed_switch second_copy registry_repair
  oem_inf_nt40 oem_inf_nt40_older_copy oem_inf_win98
)
# Whole runs on each Windows version with the registry redirection, and its
# repair after a kill.
source tests/wine/registry_runs.sh
scenarios+=("${registry_scenarios[@]}")
# The language of the system, and the missing message files.
source tests/wine/language_runs.sh
scenarios+=("${language_scenarios[@]}")
# A signed SETUP.EXE verifies and runs.
source tests/wine/signing_runs.sh
scenarios+=("${signing_scenarios[@]}")
# The native dumpers against the Windows build's under Wine, over generated
# INF and INI files.
source tests/wine/differential_runs.sh

run_scenarios() {
  local t
  for scenario in "$@"; do
    t=$SECONDS
    scenario_failed=0
    "scenario_$scenario"
    if [ "$scenario_failed" = 0 ]; then
      passed=$((passed + 1))
      echo "scenario $scenario ($arch): ok ($((SECONDS - t)) s)"
    else
      failed=$((failed + 1))
      echo "scenario $scenario ($arch): FAILED ($((SECONDS - t)) s); output:"
    fi
    if [ "$scenario_failed" != 0 ] || [ "${MIRTEL_WINE_KEEP:-0}" = 1 ]; then
      sed 's/^/    /' "$results/$scenario.txt" "$results/$scenario.err"
    fi
  done
  scenario=""
}

for arch in "${architectures[@]}"; do
  if [ -n "${MIRTEL_WINDOWS_BUILD:-}" ]; then
    build="$PWD/$MIRTEL_WINDOWS_BUILD"
  elif [ "$arch" = i686 ]; then
    build="$PWD/build/windows"
  else
    build="$PWD/build/windows-x86_64"
  fi
  run_gtest
  run_scenarios "${scenarios[@]}"
  # The differential check compares the dumpers with Wine's answers, not
  # one build with another: once is enough.
  if [ "$arch" = "${architectures[0]}" ]; then run_scenarios "${differential_scenarios[@]}"; fi
done
