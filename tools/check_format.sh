#!/usr/bin/env bash
# Every C++ file follows .clang-format; lists the ones that do not.
set -uo pipefail
cd "$(dirname "$0")/.."
command -v clang-format >/dev/null || { echo "format: clang-format not installed, skipped"; exit 0; }
bad=$(git ls-files '*.cpp' '*.h' | while read -r f; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"
done)
if [ -n "$bad" ]; then
    echo "Not clang-format clean (run 'make format'):" >&2
    echo "$bad" >&2
    exit 1
fi
echo "format: ok"
