#!/usr/bin/env bash
# Runs each fuzz target of the native build for the given number of seconds (default 15).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-15}"
corpus_root=build/linux/fuzz-corpus
artifacts=build/linux/fuzz-artifacts
for target in build/linux/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name="$(basename "$target")"
  mkdir -p "$corpus_root/$name" "$artifacts"
  echo "fuzzing $name for ${seconds}s"
  # A crash's input goes under build/, never into the folder the script was started from.
  "$target" -max_total_time="$seconds" -print_final_stats=0 -artifact_prefix="$artifacts/" \
    "$corpus_root/$name" \
    >"build/linux/$name.log" 2>&1 || { tail -50 "build/linux/$name.log"; exit 1; }
done
