#!/usr/bin/env bash
# Opens the tool on the demo folder, raises the levels by 10 and runs one compare, then saves a
# screenshot of the window: scripts/screenshot.sh [out.png] (default build/screenshots/).
# PATCH_DPI=192 scripts/screenshot.sh: the same at another screen DPI (set in the Wine prefix for
# the tool's start, then restored). Starts a virtual display when there is none. Needs the
# windows preset built.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
out="${1:-build/screenshots/quarnel2-patcher.png}"
mkdir -p "$(dirname "$out")"
out="$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"

source scripts/xvfb.sh
scripts/demo-folder.sh
source scripts/wine-env.sh
driver="$root/build/windows/tools/demo/drive_demo.exe"

desktop='HKCU\Control Panel\Desktop'
if [ -n "${PATCH_DPI:-}" ]; then
  before="$(wine reg query "$desktop" /v LogPixels 2>/dev/null | tr -d '\r' |
            sed -n 's/.*REG_DWORD *0x\([0-9a-f]*\).*/\1/p' || true)"
  wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$PATCH_DPI" /f >/dev/null 2>&1
fi
(cd build/demo && exec wine ./quarnel2-patcher.exe) &
tool=$!
log="$(mktemp)"
if ! wine "$driver" --raise 10 --compare --rect >"$log"; then
  cat "$log"
  kill "$tool" 2>/dev/null || true
  exit 1
fi
if [ -n "${PATCH_DPI:-}" ]; then  # the tool has read it when its window is up
  if [ -n "$before" ]; then
    wine reg add "$desktop" /v LogPixels /t REG_DWORD /d "$((16#$before))" /f >/dev/null 2>&1
  else
    wine reg delete "$desktop" /v LogPixels /f >/dev/null 2>&1
  fi
fi
sleep 0.5  # let the last repaint reach the screen
read -r x y w h < <(sed -n 's/^window-rect //p' "$log" | tr -d '\r')
import -display "$DISPLAY" -window root -crop "${w}x${h}+${x}+${y}" +repage -strip "$out"
wine "$driver" --close >/dev/null
wait "$tool" || true

grep -v '^window-rect' "$log" | tr -d '\r'
rm -f "$log"
echo "screenshot: $out"
