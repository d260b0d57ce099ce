#!/usr/bin/env bash
# The Windows build under Wine speaks the language of the system: on a
# Japanese system (code page 932) it shows the Japanese messages of the
# example package, with only the English file it speaks English, and with
# no message file it names the Japanese one it looked for first. Each run
# asks for the three-digit language "+H:409", which the command line
# refuses with "IDS_ERR_CMDLINE" in the language chosen from the system.
#
#   tests/wine/language_runs.sh [BUILD_FOLDER]     (default build/windows)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build/windows}"
source scripts/wine-env.sh

failures=0
package="$(mktemp -d -t mirtel-language.XXXXXX)"
cleanup() {
  wine_env_stop
  rm -rf "$package"
}
trap cleanup EXIT
wine_env_start

# A message of the example package (UTF-8 source), as the box shows it.
message() {
  sed -n "s/^$2=//p" "examples/messages/PSDI_$1.IRC"
}

# run LOCALE CODE_PAGE EXPECTED_CAPTION EXPECTED_TEXT MESSAGE_FILES...
run() {
  local locale="$1" code_page="$2" caption="$3" text="$4"
  shift 4
  rm -rf "$package/RES"
  mkdir -p "$package/RES"
  cp "$build/bin/SETUP.EXE" "$package/"
  for code in "$@"; do cp "examples/package/RES/PSDI_$code.IRC" "$package/RES/"; done

  local setup
  setup="$(winepath -w "$package/SETUP.EXE")"
  local box
  box="$(LANG="$locale" LC_ALL="$locale" wine "$build/bin/wine_parent.exe" --timeout=60 \
           "$setup" +H:409 | tr -d '\r' | iconv -f "CP$code_page" -t UTF-8 | grep '^box' || true)"
  local expected
  expected="$(printf 'box\t%s\t%s' "$caption" "$text")"
  if [ "$box" = "$expected" ]; then
    echo "ok    $locale with ${*:-no message file}"
  else
    echo "FAIL  $locale with ${*:-no message file}"
    echo "      expected: $expected"
    echo "      shown:    $box"
    failures=$((failures + 1))
  fi
}

setup_folder="$(winepath -w "$package")"
run ja_JP.UTF-8 932 "$(message JPN AFX_IDS_APP_TITLE)" "$(message JPN IDS_ERR_CMDLINE)\\n+H:409" JPN ENG
run ja_JP.UTF-8 932 "$(message ENG AFX_IDS_APP_TITLE)" "$(message ENG IDS_ERR_CMDLINE)\\n+H:409" ENG
run ja_JP.UTF-8 932 "Install Printer Driver" "Resource file not found.\\n$setup_folder\\RES\\PSDI_JPN.IRC"
run en_US.UTF-8 1252 "$(message ENG AFX_IDS_APP_TITLE)" "$(message ENG IDS_ERR_CMDLINE)\\n+H:409" JPN ENG

[ "$failures" -eq 0 ]
