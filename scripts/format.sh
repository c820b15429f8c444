#!/usr/bin/env bash
# Formats every C++ file of the project with clang-format and the project's .clang-format.
# With --check it changes nothing and fails, listing the files, when any file differs.
set -euo pipefail
cd "$(dirname "$0")/.."
format=${CLANG_FORMAT:-clang-format-14}
mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
    differ=()
    for f in "${files[@]}"; do
        "$format" "$f" | cmp -s - "$f" || differ+=("$f")
    done
    if [ ${#differ[@]} -gt 0 ]; then
        printf 'not formatted: %s\n' "${differ[@]}" >&2
        echo "run scripts/format.sh to format them" >&2
        exit 1
    fi
    echo "formatting: ${#files[@]} files checked, all formatted"
else
    "$format" -i "${files[@]}"
fi
