#!/usr/bin/env bash
# Installs what is missing, builds the debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer with warnings as errors, and runs the whole test suite headless.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DR7260_SANITIZE=ON -DR7260_WERROR=ON
cmake --build build-test -j 2
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure "$@"
