#!/usr/bin/env bash
# Fails when a tracked C++ source is not formatted as the repository's .clang-format says.
# Only tracked files count: a build folder inside the tree holds generated sources.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "not a git checkout: nothing to check"
  exit 0
fi
git ls-files -- '*.cpp' '*.h' |
  while read -r file; do if [ -f "$file" ]; then echo "$file"; fi; done |
  xargs clang-format --dry-run --Werror
