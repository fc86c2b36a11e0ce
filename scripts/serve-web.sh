#!/usr/bin/env bash
# Builds the browser game and serves it on http://localhost:PORT/ (8000, or the first argument).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
port="${1:-8000}"
"$root/scripts/build-web.sh"
echo "Serving the game on http://localhost:$port/ (Ctrl+C stops)"
exec /usr/bin/python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/build/web/site"
