#!/usr/bin/env bash
# Installs what is missing, builds the debug build under AddressSanitizer and
# UndefinedBehaviorSanitizer with warnings as errors, runs the whole test suite headless, runs
# every fuzz target for a few seconds as a smoke check (the full suite only: not when ctest
# arguments pick tests), then prints how the test code compares with the product code
# (scripts/code-ratio.sh). Exits with the first failure's status.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DR7260_SANITIZE=ON -DR7260_WERROR=ON
cmake --build build-test -j 2
export QT_QPA_PLATFORM=offscreen
test_status=0
ctest --test-dir build-test --output-on-failure "$@" || test_status=$?
fuzz_status=0
if (($# == 0)); then
    scripts/fuzz.sh 5 || fuzz_status=$?
fi
ratio_status=0
scripts/code-ratio.sh || ratio_status=$?
for status in "$test_status" "$fuzz_status" "$ratio_status"; do
    ((status == 0)) || exit "$status"
done
