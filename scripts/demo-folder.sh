#!/usr/bin/env bash
# Lays out a fresh demo: build/demo holds the tool with the synthetic demo tables beside it
# (drevon2.txt, t_mons0.tbl, t_mons.tbl), and drive F: holds the two reference tables for the
# compare (t_mons0.tbl, t_mons100.tbl). Needs the windows preset built.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
source scripts/wine-env.sh
scripts/wine-prefix.sh

tool=build/windows/src/app/quarnel2-patcher.exe
maker=build/windows/tools/demo/make_demo_set.exe
for file in "$tool" "$maker"; do
  [ -f "$file" ] || { echo "missing $file: run cmake --build --preset windows" >&2; exit 1; }
done

demo=build/demo
rm -rf "$demo"
mkdir -p "$demo"
cp "$tool" "$demo/"
# make_demo_set is a Windows program; a relative folder needs no Unix-to-Windows path juggling.
(cd "$demo" && wine "$root/$maker" . >/dev/null)
mkdir -p "$PATCH_F_DRIVE"
cp "$demo/t_mons0.tbl" "$PATCH_F_DRIVE/t_mons0.tbl"
mv "$demo/t_mons100.tbl" "$PATCH_F_DRIVE/t_mons100.tbl"

echo "demo folder: $root/$demo (drive F: is $PATCH_F_DRIVE)"
