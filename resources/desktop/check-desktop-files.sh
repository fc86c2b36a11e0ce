#!/usr/bin/env bash
# Checks the desktop entry, the icon and the installed desktop files; fails on warnings too.
#   check-desktop-files.sh entry FILE.desktop
#   check-desktop-files.sh icon FILE.svg
#   check-desktop-files.sh install CMAKE BUILD_DIR COMPONENT DATADIR
set -euo pipefail

status=0
fail() {
  echo "$1" >&2
  status=1
}
xpath() { xmllint --xpath "$1" "$2"; }

# desktop-file-validate exits 0 after warnings; only its hints are let through.
check_entry() {
  local output
  output=$(desktop-file-validate "$1" 2>&1) || status=1
  if [ -n "$output" ]; then echo "$output"; fi
  if grep -q -E ': (error|warning): ' <<<"$output"; then fail "$1: not clean"; fi
}

# Well-formed, on the 128-unit grid, drawn entirely from shapes: no text (fonts may be
# missing), no raster images or outside files, and every url(#...) names an element here.
check_icon() {
  local file=$1 ref
  xmllint --noout "$file" || exit 1
  [ "$(xpath 'concat(namespace-uri(/*), " ", local-name(/*))' "$file")" = \
    "http://www.w3.org/2000/svg svg" ] || fail "$file: the root is not an SVG element"
  [ "$(xpath 'string(/*/@viewBox)' "$file")" = "0 0 128 128" ] ||
    fail "$file: the viewBox is not 0 0 128 128"
  [ "$(xpath 'count(//*[local-name()="text" or local-name()="image"])' "$file")" = 0 ] ||
    fail "$file: holds text or an image"
  [ "$(xpath 'count(//@*[local-name()="href"][not(starts-with(., "#"))])' "$file")" = 0 ] ||
    fail "$file: refers to something outside the file"
  for ref in $(grep -o 'url(#[^)]*)' "$file" | sed 's/^url(#//; s/)$//' | sort -u); do
    [ "$(xpath "count(//*[@id=\"$ref\"])" "$file")" = 1 ] || fail "$file: no element #$ref"
  done
}

# Installs the component into an empty tree and checks that it holds together as a desktop
# finds it: the metadata and its launchable desktop entry (appstreamcli validate-tree), the
# icon the entry names, and the program the metadata says it provides.
check_install() {
  local cmake=$1 build=$2 component=$3 datadir=$4
  local share metainfo desktop icon exec binary
  install_root=$(mktemp -d)
  trap 'rm -rf "$install_root"' EXIT
  "$cmake" --install "$build" --component "$component" --prefix "$install_root/usr" >/dev/null
  share=$install_root/usr/$datadir
  appstreamcli validate-tree --no-net "$install_root" || status=1

  metainfo=$(find "$share/metainfo" -name '*.metainfo.xml' 2>/dev/null | head -n 1)
  [ -n "$metainfo" ] || { fail "no metadata under $datadir/metainfo"; return; }
  desktop=$share/applications/$(xpath 'string(/component/launchable[@type="desktop-id"])' \
    "$metainfo")
  [ -f "$desktop" ] || { fail "no desktop entry $desktop"; return; }
  [ "$(basename "$desktop" .desktop)" = "$(xpath 'string(/component/id)' "$metainfo")" ] ||
    fail "the desktop entry's name is not the component id"

  icon=$(sed -n 's/^Icon=//p' "$desktop")
  [ -f "$share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    fail "no icon $icon.svg under $datadir/icons/hicolor/scalable/apps"
  exec=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
  binary=$(xpath 'string(/component/provides/binary)' "$metainfo")
  [ "$exec" = "$binary" ] || fail "Exec=$exec but the metadata provides $binary"
}

case "${1:-}" in
  entry) check_entry "$2" ;;
  icon) check_icon "$2" ;;
  install) check_install "$2" "$3" "$4" "$5" ;;
  *)
    echo "usage: $0 entry FILE | icon FILE | install CMAKE BUILD_DIR COMPONENT DATADIR" >&2
    exit 2
    ;;
esac
exit $status
