#!/usr/bin/env bash
# Sets up, builds and runs every test. Every test runs once, in the build with
# AddressSanitizer + UndefinedBehaviorSanitizer (a debug build like dev, with the
# memory and undefined-behaviour checks on top; the benchmarks are compiled there
# too). The plain dev build then builds what ships (both executables) and runs the
# package test, whose package must not carry the sanitizer runtime.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/install-deps.sh

# GUI tests draw offscreen; D-Bus tests start their own private bus.
export QT_QPA_PLATFORM=offscreen

./scripts/test-share.sh

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

cmake --preset dev
cmake --build --preset dev --target talvoren talvoren-cli
ctest --preset dev -R '^PackageBuildsInstallsAndPassesTheDebianChecks$'
