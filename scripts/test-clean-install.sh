#!/usr/bin/env bash
# Installs the package with --no-install-recommends into a minimal Debian 12 and starts the
# game there on a virtual X server of this machine: the window must open and its Japanese
# menu bar must read ファイル, which it does only when the package brought a Japanese face.
# The minimal system is made once with debootstrap and kept as a tarball, with the packages
# apt fetched for it, under build/debootstrap-cache.
# Usage: test-clean-install.sh PACKAGE.deb WINDOW_TITLE  (as root)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
deb="$(realpath "$1")"
title="$2"
fail() { echo "FAIL: $*" >&2; exit 1; }
cache="$root/build/debootstrap-cache"
base="$cache/bookworm-minbase.tar"
mkdir -p "$cache/archives/partial"
if [ ! -s "$base" ]; then
  echo "Making a minimal Debian 12 with debootstrap (once; kept in $base)"
  rm -rf "$cache/tree"
  timeout 1800 debootstrap --variant=minbase bookworm "$cache/tree" >"$cache/debootstrap.log" 2>&1 ||
    { tail -n 20 "$cache/debootstrap.log" >&2; fail "debootstrap failed"; }
  tar -C "$cache/tree" -cf "$base.part" . && mv "$base.part" "$base"
  rm -rf "$cache/tree"
fi

work="$(mktemp -d)"
xvfb=""
cleanup() {
  if [ -n "$xvfb" ]; then kill "$xvfb" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
system="$work/debian"
mkdir "$system"
tar -C "$system" -xf "$base"
cp /etc/resolv.conf "$system/etc/resolv.conf"
cp "$deb" "$system/tmp/volarin.deb"

# Each run goes in a mount namespace of its own, so its mounts go with it however it ends.
# The downloaded packages are kept across runs; apt's own unprivileged user could not write
# them there. The first argument bounds the command's time in seconds.
in_system() {
  timeout "$1" unshare --mount --propagation private sh -c '
    system=$1 archives=$2 && shift 2 &&
    mount -t proc proc "$system/proc" && mount --rbind /dev "$system/dev" &&
    mount --bind "$archives" "$system/var/cache/apt/archives" &&
    mkdir -p "$system/tmp/.X11-unix" && mount --bind /tmp/.X11-unix "$system/tmp/.X11-unix" &&
    exec chroot "$system" "$@"' in_system "$system" "$cache/archives" "${@:2}"
}
apt_options=(-o APT::Sandbox::User=root -o Dpkg::Use-Pty=0 -q)
in_system 900 apt-get "${apt_options[@]}" update >"$work/apt.txt" 2>&1 &&
  DEBIAN_FRONTEND=noninteractive in_system 1200 apt-get "${apt_options[@]}" install -y \
    --no-install-recommends /tmp/volarin.deb >>"$work/apt.txt" 2>&1 ||
  { tail -n 30 "$work/apt.txt" >&2; fail "the package does not install into a minimal Debian 12"; }

# The screen is this machine's; the game in the minimal system reaches it through the socket.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.txt" &
xvfb=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
display="$(cat "$work/display")"
[ -n "$display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.txt")"
export DISPLAY=":$display"
mkdir -m 700 "$system/tmp/runtime"
in_system 120 env -i DISPLAY="$DISPLAY" LANG=ja_JP.UTF-8 HOME=/root XDG_RUNTIME_DIR=/tmp/runtime \
  sh -c 'cd /tmp && exec /usr/games/volarin' 2>"$work/game.txt" &
game=$!
window="$(timeout 30 xdotool search --sync --name "^$title\$" | head -n 1)" ||
  { cat "$work/game.txt" >&2; fail "the installed game opened no window"; }
sleep 2
import -window "$window" "$work/start.png"
kill -TERM "$game" 2>/dev/null || true
if [ -n "${KEEP_SCREENSHOT:-}" ]; then cp "$work/start.png" "$KEEP_SCREENSHOT"; fi
wait "$game" || true

# The menu bar, dark on light: scaled up three times and made black and white for the model.
convert "$work/start.png" -crop 640x30+0+0 +repage -resize 300% -colorspace gray -threshold 60% \
  "$work/menu.png"
menu="$(tesseract "$work/menu.png" - -l jpn 2>/dev/null | tr -d ' \n')"
[[ "$menu" == *ファイル* ]] || fail "the menu bar does not read ファイル: '$menu'"
echo "clean install passed: the menu reads '$menu'"
