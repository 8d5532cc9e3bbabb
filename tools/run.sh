#!/usr/bin/env bash
# Builds the installer and runs it: in the current display when there is one, otherwise in a
# virtual display, where it is driven through an installation and screenshots are saved.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
tools/bootstrap.sh > build-bootstrap.log 2>&1 || { cat build-bootstrap.log; exit 1; }
rm -f build-bootstrap.log
for preset in win32 win64; do
  cmake --preset "$preset" > /dev/null
  cmake --build --preset "$preset" > /dev/null
done
exe="$root/build/win64/installer.exe"
if [ -n "${DISPLAY:-}" ]; then
  export WINEPREFIX="$root/build/run/prefix" LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$WINEPREFIX"
  exec /usr/lib/wine/wine64 "$exe"
fi
exec /usr/bin/python3 tests/e2e/demo.py --exe "$exe" --work "$root/build/run"
