#!/usr/bin/env bash
# Installs what is missing, builds the debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer with warnings as errors, runs the whole test suite headless, then
# prints how the test code compares with the product code (scripts/code-ratio.sh). Exits with
# ctest's status when a test fails, else with the ratio check's.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DR7260_SANITIZE=ON -DR7260_WERROR=ON
cmake --build build-test -j 2
export QT_QPA_PLATFORM=offscreen
status=0
ctest --test-dir build-test --output-on-failure "$@" || status=$?
ratio_status=0
scripts/code-ratio.sh || ratio_status=$?
if ((status == 0)); then
    status=$ratio_status
fi
exit "$status"
