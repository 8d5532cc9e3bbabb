#!/usr/bin/env bash
# wine-run.sh PREFIX_DIR PROGRAM [ARGS...]: runs a Windows program under wine64 in a prefix of
# its own, with the GBK code page, and passes its exit code on.
set -euo pipefail
# Windows tests that create windows need a display: give them a virtual one of their own.
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$@"
fi
prefix=$1; shift
mkdir -p "$prefix"
export WINEPREFIX=$(cd "$prefix" && pwd)
export LC_ALL=zh_CN.UTF-8 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 || true
  WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -w
fi
set +e
timeout 540 /usr/lib/wine/wine64 "$@"
rc=$?
WINEPREFIX=$WINEPREFIX /usr/lib/wine/wineserver -k 2>/dev/null
exit $rc
