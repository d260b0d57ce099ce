#!/usr/bin/env bash
# Builds SETUP.EXE twice from this checkout, in two throw-away folders of
# different names, and compares the two files byte for byte; then checks
# that the PE header's time stamp is the commit's (or SOURCE_DATE_EPOCH's).
# The second build compiles without the compiler cache, so that a build
# path that entered an object cannot hide behind a cached copy.
#   reproduce-check.sh [i686|x86_64 ...]   default: i686 (what ships)
# Prints one line per architecture: its SHA-256 and time stamp.
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- i686
epoch="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"
work="$(mktemp -d -t mirtel-reproduce.XXXXXX)"
trap 'rm -rf "$work"' EXIT

build_setup() {  # build_setup ARCH FOLDER [env...]
  local arch="$1" folder="$2"
  shift 2
  env "$@" cmake -S . -B "$folder" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DMIRTEL_WERROR=ON -DMIRTEL_TESTS=OFF >"$folder.log" 2>&1 &&
    env "$@" cmake --build "$folder" -j "${MIRTEL_JOBS:-2}" --target setup >>"$folder.log" 2>&1 ||
    { cat "$folder.log"; echo "FAIL: the $arch build in $folder"; return 1; }
}

status=0
for arch in "$@"; do
  first="$work/a/$arch"
  second="$work/second-build-folder/$arch"
  mkdir -p "$(dirname "$first")" "$(dirname "$second")"
  launcher=()
  command -v ccache >/dev/null && launcher=(CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache)
  build_setup "$arch" "$first" "${launcher[@]}"
  build_setup "$arch" "$second" CCACHE_DISABLE=1
  one="$(sha256sum <"$first/bin/SETUP.EXE" | cut -d' ' -f1)"
  two="$(sha256sum <"$second/bin/SETUP.EXE" | cut -d' ' -f1)"
  stamp="$(TZ=UTC "$arch-w64-mingw32-objdump" -p "$first/bin/SETUP.EXE" | sed -n 's/^Time\/Date[[:space:]]*//p' | tr -s ' ')"
  expected="$(LC_ALL=C date -u -d "@$epoch" '+%a %b %e %H:%M:%S %Y' | tr -s ' ')"
  if [ "$one" != "$two" ]; then
    echo "FAIL: $arch: two builds differ: $one and $two"
    cmp -l "$first/bin/SETUP.EXE" "$second/bin/SETUP.EXE" | head -n 5
    status=1
  elif [ "$stamp" != "$expected" ]; then
    echo "FAIL: $arch: time stamp [$stamp], the commit's is [$expected]"
    status=1
  else
    echo "reproducible: $arch SETUP.EXE sha256 $one, time stamp $stamp"
  fi
done
exit "$status"
