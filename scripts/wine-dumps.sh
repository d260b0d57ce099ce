#!/usr/bin/env bash
# Dumps conformance cases under Wine with the Windows build's infdump and
# profdump, as tests/conformance/FORMAT.md describes the expected files:
# an INF case gets <case>.out (infdump --all [--q=<case>.infq]) and
# <case>.prof.out (profdump --auto [@<case>.profq]); an INI case gets
# <case>.out (profdump --auto [@<case>.profq]). Each runs with the case's
# folder as the working directory, on an English system (code page 1252).
#
# Usage: scripts/wine-dumps.sh <output-folder> <case-file> ...
#   e.g. scripts/wine-dumps.sh tests/conformance/expected/inf tests/conformance/inf/*.inf
#   MIRTEL_WINDOWS_BUILD  the Windows build (default: the one this host
#                         runs, build/windows or build/windows-x86_64; built
#                         first when its dumpers are missing)
#   WINEPREFIX            a prefix to use; by default a throw-away one
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
[ $# -ge 2 ] || { sed -n '2,/^set/p' "$0" | sed '$d; s/^# \{0,1\}//'; exit 2; }
output="$(mkdir -p "$1" && cd "$1" && pwd)"
shift
source "$root/scripts/wine-env.sh"
build="${MIRTEL_WINDOWS_BUILD:-$WINE_ENV_BUILD}"
case "$build" in /*) ;; *) build="$root/$build" ;; esac
if [ ! -x "$build/bin/infdump.exe" ] || [ ! -x "$build/bin/profdump.exe" ]; then
  (cd "$root" && MIRTEL_WINDOWS_BUILD="$build" bash scripts/build-windows.sh "$WINE_ENV_ARCH" >/dev/null)
fi

work="$(mktemp -d -t mirtel-wine-dumps.XXXXXX)"
own_prefix=0
cleanup() {
  if [ "$own_prefix" = 1 ]; then wineserver -k 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
export WINEDEBUG=-all
if [ -z "${WINEPREFIX:-}" ]; then
  export WINEPREFIX="$work/prefix"
  own_prefix=1
  env LC_ALL=en_US.UTF-8 WINEDLLOVERRIDES='mscoree,mshtml=' "$WINE_ENV_LOADER" wineboot -i >/dev/null 2>&1
fi

# One batch per dumper and case folder, run in that folder.
declare -A folders=()
for file in "$@"; do
  folder="$(cd "$(dirname "$file")" && pwd)"
  name="$(basename "$file")"
  case_name="${name%.*}"
  key="$(printf '%s' "$folder" | tr -c 'A-Za-z0-9' _)"
  folders[$key]="$folder"
  case "$name" in
    *.inf)
      line="$output/$case_name.out"$'\t'"--all"
      [ -f "$folder/$case_name.infq" ] && line+=$'\t'"--q=$case_name.infq"
      printf '%s\t%s\n' "$line" "$name" >>"$work/$key.infdump"
      prof_out="$output/$case_name.prof.out"
      ;;
    *) prof_out="$output/$case_name.out" ;;
  esac
  query=""
  [ -f "$folder/$case_name.profq" ] && query=$'\t'"@$case_name.profq"
  printf '%s\t%s\t--auto%s\n' "$prof_out" "$name" "$query" >>"$work/$key.profdump"
done

status=0
for key in "${!folders[@]}"; do
  for tool in infdump profdump; do
    [ -f "$work/$key.$tool" ] || continue
    (cd "${folders[$key]}" && wine "$build/bin/$tool.exe" --batch "$work/$key.$tool") ||
      status=1
  done
done
echo "wine-dumps: $# case files dumped into $output ($("$WINE_ENV_LOADER" --version))"
exit "$status"
