#!/usr/bin/env bash
# Builds the Windows tool and opens it on a demo folder under Wine.
# With a display, the window stays open until you close it. Without one, a virtual display is
# used: the tool raises the levels by 10 and runs one compare, a screenshot is saved, and the
# script reports what happened.
set -euo pipefail
cd "$(dirname "$0")"

scripts/install-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

if [ -n "${DISPLAY:-}" ]; then
  scripts/demo-folder.sh
  source scripts/wine-env.sh
  cd build/demo
  echo "opening quarnel2-patcher.exe in $(pwd)"
  exec wine ./quarnel2-patcher.exe
fi

echo "no display: running the demo on a virtual one"
exec scripts/screenshot.sh
