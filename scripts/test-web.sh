#!/usr/bin/env bash
# Builds the browser game and plays it in headless Chromium (tests/web/*_test.mjs): the
# page, its menus, keys and input method, the settings kept across a reload (and a refused
# save told), the sheet's colours, the favicon and the line under the field in English and
# Japanese (web_test); the accessibility audit and the keyboard's way through the menus and the
# page (access_test); the reasons shown when the page cannot start, and the game kept for
# offline play (offline_test). Exits non-zero when anything fails.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
VOLARIN_WARNINGS_AS_ERRORS=ON "$root/scripts/build-web.sh"
packages=(chromium)
command -v npm >/dev/null || packages+=(npm)
"$root/scripts/ensure-packages.sh" "${packages[@]}"

# The test's own packages, exactly as locked, in the build tree.
tools="$root/build/web-test"
mkdir -p "$tools"
cp "$root/tests/web/package.json" "$root/tests/web/package-lock.json" "$root/tests/web/"*.mjs \
  "$tools/"
(cd "$tools" && npm ci --no-audit --no-fund --loglevel=error >/dev/null)

port="$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
/usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/build/web/site" \
  >"$tools/server.log" 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  if /usr/bin/python3 -c "import urllib.request; urllib.request.urlopen('http://127.0.0.1:$port/')" \
    2>/dev/null; then break; fi
  sleep 0.1
done

export VOLARIN_URL="http://127.0.0.1:$port/" CHROMIUM="$(command -v chromium)"
# The page's title is the window title this build gave the game.
VOLARIN_TITLE="$(cat "$root/build/web/title.txt")"
export VOLARIN_TITLE
# The site itself, for the tests that serve it their own way or open it as a file, and the
# version its folder is named for.
export VOLARIN_SITE="$root/build/web/site"
VOLARIN_VERSION="$(cat "$root/build/web/version.txt")"
export VOLARIN_VERSION
# A session recorded in the desktop game, for the replay.
export VOLARIN_RECORDING="$root/tests/recordings/qt_session.txt"
# Recordings from a stranger: the largest window, a flood of size changes.
export VOLARIN_HOSTILE_RECORDINGS="$root/tests/fuzz/corpus/replay"
# The favicon must be the desktop's own icon, byte for byte.
export VOLARIN_ICON_SVG="$root/resources/desktop/org.volarin.Volarin.svg"
# scripts/measure-web.sh runs its measurements here instead of the test.
if [ -n "${VOLARIN_WEB_RUN:-}" ]; then
  timeout 300 node "$tools/$(basename "$VOLARIN_WEB_RUN")"
else
  timeout 600 node --test --test-concurrency=1 ${VOLARIN_WEB_TESTS:+--test-name-pattern="$VOLARIN_WEB_TESTS"} "$tools/"*_test.mjs
fi
