#!/usr/bin/env bash
# Sets up the machine, builds every build and runs every test.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/bootstrap.sh
export INSTALLER_WERROR=ON
presets=(host win32 win64 fuzz)
mkdir -p build
for preset in "${presets[@]}"; do
  cmake --preset "$preset" > "build/configure-$preset.log" 2>&1 || { cat "build/configure-$preset.log"; exit 1; }
  cmake --build --preset "$preset"
done
status=0
for preset in "${presets[@]}"; do
  ctest --preset "$preset" -j2 || status=1
done
exit $status
