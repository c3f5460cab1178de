#!/usr/bin/env bash
# Sets up, builds and starts Talvoren from the build tree. Extra arguments go to
# the application (for example --log-output or --headless).
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh
cmake --preset release
cmake --build --preset release
exec ./build/release/bin/talvoren "$@"
