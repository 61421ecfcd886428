#!/usr/bin/env bash
# Makes the project's Wine prefix once: initialised, a CJK font for Chinese text, the end-to-end
# tests' own desktop; drive F: mapped, the title bar's symbol font in place.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

mkdir -p "$PATCH_F_DRIVE"
if [ ! -f "$WINEPREFIX/.patch-ready-2" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  reg="$(mktemp --suffix=.reg)"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft YaHei" "Segoe UI" SimSun NSimSun \
                "宋体" "微软雅黑"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
    # The end-to-end tests, and the tool they start, run on a desktop of Wine's own (one window
    # on the X display), where Wine alone decides activation and focus, as Windows does. On the
    # bare display Wine gives each message box the X focus and hears back from X some
    # milliseconds later: a box the test answers at once is gone by then, Wine takes the late
    # word as the tool's window losing the focus and cancels (WM_CANCELMODE) whatever menu was
    # just opened, and the Menu key pressed right after a box brought up nothing.
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]\r\n"e2e"="1920x1200"\r\n'
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\AppDefaults\\e2e_tests.exe\\Explorer]\r\n'
    printf '"Desktop"="e2e"\r\n'
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
  wine regedit /S "$reg" >/dev/null 2>&1 || wine regedit "$reg" >/dev/null 2>&1
  rm -f "$reg"
  wineserver -w
  touch "$WINEPREFIX/.patch-ready-2"
fi
ln -sfn "$PATCH_F_DRIVE" "$WINEPREFIX/dosdevices/f:"
# Wine's own Marlett (Debian's fonts-wine), which this Wine does not find in its data folder: Wine
# draws the title bar's buttons with it, and without it as the bare letters "0 1 r".
fonts="$WINEPREFIX/drive_c/windows/Fonts"
[ -f "$fonts/marlett.ttf" ] || cp /usr/share/wine/fonts/marlett.ttf "$fonts/"

# On the virtual display of scripts/xvfb.sh no window manager runs. The tool's windows are then
# left unmanaged: Wine draws their frames itself and does not wait, two seconds a window, for a
# manager to take them down. On a real display the manager has them, as usual.
key='HKCU\Software\Wine\AppDefaults\quarnel2-patcher.exe\X11 Driver'
want=""
[ -n "${PATCH_XVFB_PID:-}" ] && want=N
have="$(grep -A3 -F '[Software\\Wine\\AppDefaults\\quarnel2-patcher.exe\\X11 Driver]' \
          "$WINEPREFIX/user.reg" 2>/dev/null | sed -n 's/^"Managed"="\(.*\)"\r\?$/\1/p' || true)"
if [ "$want" != "$have" ]; then
  if [ -n "$want" ]; then
    wine reg add "$key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  else
    wine reg delete "$key" /f >/dev/null 2>&1 || true
  fi
  wineserver -w
fi
