#!/usr/bin/env bash
# Makes a fresh Wine prefix for the Windows game: the game's two faces mapped to the
# installed stand-ins, Japanese menu text drawn in IPAGothic, and window captions drawn by
# Wine itself since the virtual X server has no window manager.
# Usage: WINEPREFIX=DIR wine_prefix.sh  (inside a running X server)
set -euo pipefail
: "${WINEPREFIX:?}"
export WINEDEBUG=-all WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,mscoree,mshtml=d"
wineboot --init >/dev/null 2>&1
registry="$(mktemp)"
trap 'rm -f "$registry"' EXIT
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  printf '"Century"="C059"\r\n"ＭＳ 明朝"="IPAMincho"\r\n'
  # Under a Japanese locale Wine draws menus and captions in the Japanese system faces, which
  # a machine without them shows as boxes whatever the links below say.
  for face in "MS UI Gothic" "MS Gothic" "MS PGothic" "ＭＳ ゴシック" "ＭＳ Ｐゴシック"; do
    printf '"%s"="IPAGothic"\r\n' "$face"
  done
  printf '\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Decorated"="N"\r\n\r\n'
  printf '[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\r\n'
  for face in Tahoma "Microsoft Sans Serif" "MS Shell Dlg" "MS Shell Dlg 2" "Segoe UI"; do
    printf '"%s"=hex(7):%s\r\n' "$face" \
      "$(printf 'ipag.ttf,IPAGothic\0\0' | iconv -t UTF-16LE | od -An -tx1 -v | tr -s ' \n' ',,' | sed 's/^,//; s/,$//')"
  done
} | iconv -f UTF-8 -t UTF-16LE >"$registry.body"
{ printf '\xff\xfe'; cat "$registry.body"; } >"$registry"
rm -f "$registry.body"
wine regedit /S "$registry"
wineserver -w
