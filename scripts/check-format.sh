#!/usr/bin/env bash
# Fails when a C++ source is not formatted as the repository's .clang-format says.
set -euo pipefail
cd "$(dirname "$0")/.."
git ls-files -co --exclude-standard -- '*.cpp' '*.h' |
  while read -r file; do if [ -f "$file" ]; then echo "$file"; fi; done |
  xargs clang-format --dry-run --Werror
