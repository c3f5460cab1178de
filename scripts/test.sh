#!/usr/bin/env bash
# Sets up, builds and runs every test: the dev build, then the same tests under
# AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

# GUI tests draw offscreen; D-Bus tests start their own private bus.
export QT_QPA_PLATFORM=offscreen

./scripts/test-share.sh

for preset in dev asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset"
    ctest --preset "$preset"
done
