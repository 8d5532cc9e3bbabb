#!/usr/bin/env bash
# run.sh [BUILD_DIR]: builds and runs the extraction benchmark of a win64 build under wine64 and
# prints the throughput of Extract beside a bare inflate-and-write loop, and their ratio.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:-$root/build/win64}" && pwd)
cmake --build "$build" --target zip_extract_bench >/dev/null
exec "$root/tests/wine-run.sh" "$build/wine/bench" "$build/payload/bench/zip_extract_bench.exe"
