#!/usr/bin/env bash
# Installs what is needed, builds the native program and runs the installer
# on the example package against the default simulated machine
# (~/.local/state/mirtel/machine, made on first use).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh native
cmake -S . -B build/native -G Ninja -DCMAKE_BUILD_TYPE=Release -DMIRTEL_TESTS=OFF >/dev/null
cmake --build build/native
echo "== running build/native/package/setup $*"
status=0
build/native/package/setup "$@" || status=$?
machine="${MIRTEL_MACHINE:-${XDG_STATE_HOME:-$HOME/.local/state}/mirtel/machine}"
echo "== exit status $status; what the installer did on the machine ($machine/transcript.jsonl):"
tail -n 5 "$machine/transcript.jsonl" 2>/dev/null || true
echo "== checking the example package on every Windows family and language (README: Check a package)"
build/native/bin/mirtel-check build/native/package || status=$?
exit "$status"
