#!/usr/bin/env bash
# Makes the project's Wine prefix once: initialised, a CJK font for Chinese text, drive F: mapped.
set -euo pipefail
source "$(dirname "$0")/wine-env.sh"

mkdir -p "$PATCH_F_DRIVE"
if [ ! -f "$WINEPREFIX/.patch-ready" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot --init >/dev/null 2>&1
  reg="$(mktemp --suffix=.reg)"
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
    for face in Tahoma "MS Shell Dlg" "MS Shell Dlg 2" "Microsoft YaHei" "Segoe UI" SimSun NSimSun \
                "宋体" "微软雅黑"; do
      printf '"%s"="WenQuanYi Micro Hei"\r\n' "$face"
    done
  } | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
  wine regedit /S "$reg" >/dev/null 2>&1 || wine regedit "$reg" >/dev/null 2>&1
  rm -f "$reg"
  wineserver -w
  touch "$WINEPREFIX/.patch-ready"
fi
ln -sfn "$PATCH_F_DRIVE" "$WINEPREFIX/dosdevices/f:"

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
