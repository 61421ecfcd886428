# Sourced by the scripts that run Wine: the project's own prefix, quiet, no first-start prompts.
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export WINEPREFIX="${PATCH_WINEPREFIX:-$root/build/wine}"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# The folder that the prefix's drive F: points at.
export PATCH_F_DRIVE="${PATCH_F_DRIVE:-$root/build/f-drive}"
