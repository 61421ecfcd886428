#!/usr/bin/env bash
# Checks the release zip: its text files have CR LF line ends, and it rebuilds bit for bit. Builds it a second time from a fresh clone in a
# folder whose name has Chinese characters and a blank, with another time zone and umask, and
# compares its quarnel2-patcher.exe and zip byte for byte with those in build/windows (made by
# `cmake --build --preset windows` and `cpack --preset windows`). Uncommitted changes to tracked
# files (new ones once added with git add) go into the clone too, so both builds have the same
# sources. Prints both builds' SHA-256 values and the exe's size; non-zero when any byte differs.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$SECONDS

first=build/windows
second="build/发布 检查"
exe=src/app/quarnel2-patcher.exe
zip="$(sed -n 's/^set(CPACK_PACKAGE_FILE_NAME "\(.*\)")$/\1/p' "$first/CPackConfig.cmake").zip"
for f in "$exe" "$zip" "$zip.sha256"; do
  [ -f "$first/$f" ] || { echo "release check: no $first/$f: build, then cpack" >&2; exit 1; }
done
# The zip's published checksum file must vouch for it.
(cd "$first" && sha256sum --check --quiet "$zip.sha256")

# Every text file in it has CR LF line ends and its UTF-8 mark, for the Notepad of Windows 7 and 8.
python3 - "$first/$zip" <<'CHECK'
import sys, zipfile
bad = []
for entry in zipfile.ZipFile(sys.argv[1]).infolist():
    if entry.filename.endswith(".txt"):
        text = zipfile.ZipFile(sys.argv[1]).read(entry)
        if not text.startswith(b"\xef\xbb\xbf") or text.count(b"\n") != text.count(b"\r\n"):
            bad.append(entry.filename)
if bad:
    sys.exit("release check: not CR LF with a UTF-8 mark: " + ", ".join(bad))
CHECK

changes="$(git stash create)"  # a commit of the uncommitted changes; empty when there are none
rm -rf "$second" "$second.log"
echo "release check: building the release again in $second"
(
  umask 077
  export TZ=CST-8
  git clone --quiet --shared . "$second"
  cd "$second"
  [ -z "$changes" ] || git checkout --quiet "$changes" -- .
  cmake --preset windows
  cmake --build --preset windows --target quarnel2-patcher
  LC_ALL=C.UTF-8 cpack --preset windows
) >"$second.log" 2>&1 || {
  cat "$second.log"
  echo "release check: the second build failed" >&2
  exit 1
}

same=1
for f in "$exe" "$zip"; do
  echo "$(basename "$f"):"
  for dir in "$first" "$second/build/windows"; do
    echo "  $(sha256sum <"$dir/$f" | cut -d' ' -f1)  $dir"
  done
  cmp "$first/$f" "$second/build/windows/$f" || same=0
done
echo "quarnel2-patcher.exe: $(stat -c %s "$first/$exe") bytes"
echo "release check: the second build and the comparison took $((SECONDS - start)) s"
if [ "$same" -eq 0 ]; then
  echo "release check: FAILED, the two builds differ (the second is kept in $second)" >&2
  exit 1
fi
rm -rf "$second" "$second.log"
echo "release check: the two builds are byte for byte the same"
