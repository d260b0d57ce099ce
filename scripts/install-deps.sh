#!/usr/bin/env bash
# Installs what the builds need on Debian 12, and only what is missing.
#   install-deps.sh native   the native build and its tests
#   install-deps.sh windows  the Windows cross build and Wine to run it
#   install-deps.sh all      both (the default)
# Safe to run again; never prompts. Needs root or sudo.
#
# Only what the test command cannot run without fails the script: the
# compilers, CMake, GoogleTest, MinGW-w64, 64-bit Wine and Xvfb. 32-bit Wine
# (wine32:i386) is wanted where the registry can give it, so that the Wine
# suite runs the i686 build that ships; where it cannot (no i386 packages,
# or i386 builds older than the 64-bit libraries installed), the script says
# so in one line and the suite runs the x86_64 build under the 64-bit loader.
# An `apt-get update` that fails for some index is a warning: the package
# lists already there may well hold everything needed.
set -euo pipefail

what="${1:-all}"
native=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libpugixml-dev libxml2-utils)
windows=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64 xvfb xauth osslsigncode openssl)
case "$what" in
  native) required=("${native[@]}"); want_wine32=0 ;;
  windows) required=("${windows[@]}"); want_wine32=1 ;;
  all) required=("${native[@]}" "${windows[@]}"); want_wine32=1 ;;
  *) echo "usage: $0 [native|windows|all]" >&2; exit 2 ;;
esac
wine32=wine32:i386

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for package in "${required[@]}"; do
  if ! installed "$package" && [[ " ${missing[*]} " != *" $package "* ]]; then
    missing+=("$package")
  fi
done
[ "$want_wine32" = 1 ] && installed "$wine32" && want_wine32=0
[ ${#missing[@]} -eq 0 ] && [ "$want_wine32" = 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
log="$(mktemp -t mirtel-apt.XXXXXX)"
trap 'rm -f "$log"' EXIT

# apt's reason, on one line: the first line of its log that matches the
# pattern given, else its first error, else its last line.
apt_error() {
  { grep -m1 -E "$1" "$log" || grep -m1 '^E: ' "$log" || tail -n 1 "$log"; } | cut -c1-300
}

# wine32 is an i386 package: the architecture must be known before the
# update. It is taken back when wine32 does not install, so that a machine
# that cannot use it is not left fetching i386 indexes from then on.
added_i386=0
if [ "$want_wine32" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${as_root[@]}" dpkg --add-architecture i386 && added_i386=1
fi

if ! "${as_root[@]}" apt-get update -q >"$log" 2>&1 || grep -q '^[EW]: ' "$log"; then
  echo "install-deps: warning: apt-get update failed for some index, going on with the package lists there are: $(apt_error '^[WE]: Failed to fetch')"
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "install-deps: installing ${missing[*]}"
  if ! "${as_root[@]}" apt-get install -y -q "${missing[@]}" >"$log" 2>&1; then
    # Name each package that cannot be installed, with apt's own reason.
    for package in "${missing[@]}"; do
      if ! "${as_root[@]}" apt-get install -y -q "$package" >"$log" 2>&1; then
        echo "install-deps: FAIL: cannot install $package: $(apt_error '^E: ')" >&2
        failed=1
      fi
    done
    [ -z "${failed:-}" ] || exit 1
  fi
fi

if [ "$want_wine32" = 1 ]; then
  if "${as_root[@]}" apt-get install -y -q "$wine32" >"$log" 2>&1; then
    echo "install-deps: 32-bit Wine installed"
  else
    echo "install-deps: 32-bit Wine is not available here ($(apt_error '^E: ')); the Wine suite will run the x86_64 build under the 64-bit loader"
    if [ "$added_i386" = 1 ]; then
      "${as_root[@]}" dpkg --remove-architecture i386 2>/dev/null || true
    fi
  fi
fi
