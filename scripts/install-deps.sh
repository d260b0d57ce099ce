#!/usr/bin/env bash
# Installs what the builds need on Debian 12, and only what is missing.
#   install-deps.sh native   the native build and its tests
#   install-deps.sh windows  the Windows cross build and Wine to run it
#   install-deps.sh all      both (the default)
# Safe to run again; runs apt-get update at most once; never prompts.
set -euo pipefail

what="${1:-all}"
native=(cmake ninja-build g++ libgtest-dev libgmock-dev libbenchmark-dev libcli11-dev libpugixml-dev)
windows=(cmake ninja-build g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 xvfb xauth)
case "$what" in
  native) wanted=("${native[@]}") ;;
  windows) wanted=("${windows[@]}") ;;
  all) wanted=("${native[@]}" "${windows[@]}") ;;
  *) echo "usage: $0 [native|windows|all]" >&2; exit 2 ;;
esac

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}

missing=()
for package in "${wanted[@]}"; do
  installed "$package" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  as_root=()
else
  as_root=(sudo)
fi

# wine32 is an i386 package: the architecture must be known before the update.
for package in "${missing[@]}"; do
  if [[ "$package" == *:i386 ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
  fi
done

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q "${missing[@]}"
