#!/usr/bin/env bash
# Prints the non-blank C++ lines of each part of the repository and the share of
# them that is test code (tests/, the camera-picture builder included). tools/
# (the screenshot generator) counts as code, not as tests.
# Usage: scripts/test-share.sh [--max PERCENT]   (exit 1 when the share is above PERCENT)
set -euo pipefail
cd "$(dirname "$0")/.."

lines() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.h.in' \) -print0 |
        xargs -0 -r cat | grep -cv '^[[:space:]]*$' || true
}

total=0
for part in src tests bench fuzz resources tools; do
    count=$([ -d "$part" ] && lines "$part" || echo 0)
    printf '%-10s %6d\n' "$part" "$count"
    total=$((total + count))
done
tests=$(lines tests)
share=$((tests * 1000 / total))
printf 'test share: %d of %d non-blank C++ lines = %d.%d %%\n' "$tests" "$total" $((share / 10)) $((share % 10))

if [ "${1:-}" = "--max" ] && [ $((tests * 100)) -gt $((${2:?} * total)) ]; then
    echo "test share above ${2} %" >&2
    exit 1
fi
