# Sourced: starts a virtual X display for Wine when none is set, and stops it when the shell exits.
if [ -z "${DISPLAY:-}" ]; then
  patch_wine_env="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-env.sh"
  for n in $(seq 91 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    # A Wine session still running from before is tied to an earlier display: end it.
    (source "$patch_wine_env" && wineserver -k) >/dev/null 2>&1 || true
    Xvfb ":$n" -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
    export PATCH_XVFB_PID=$!  # also tells scripts/wine-prefix.sh that no window manager runs
    for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
    export DISPLAY=":$n"
    trap '(source "$patch_wine_env" && wineserver -k) >/dev/null 2>&1
          kill $PATCH_XVFB_PID 2>/dev/null || true' EXIT
    break
  done
fi
