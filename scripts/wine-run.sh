#!/usr/bin/env bash
# Runs one Windows program under the project's Wine prefix (CTest's emulator for the Windows build).
# Its standard output loses the CR of each CR LF, so that CTest reads the test lists (and logs)
# as it reads a native program's; the program's exit status is kept.
set -o pipefail
source "$(dirname "$0")/wine-env.sh"

# The first Wine program of a session also starts Wine's server and services, which keep its
# output open, so CTest would wait for them (seconds after every test, or for the whole run).
# Start the session apart, with no output attached, to last a while past each program.
if wineserver -p 30 </dev/null >/dev/null 2>&1; then
  wine cmd /c exit </dev/null >/dev/null 2>&1
fi
wine "$@" | tr -d '\r'
