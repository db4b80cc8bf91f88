#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/) with clang in build-fuzz and runs each for the given number of
# seconds (default 60): scripts/fuzz.sh [seconds per target] [target ...]. Each target's corpus
# grows in build-fuzz/corpus/<target> (seeded from fuzz/seeds/<target>.hex, one input per line in
# hex); an input that crashes is saved in build-fuzz/crashes/<target>/ and the script fails.
# Prints one line per target: the executions it ran, and "ok" or what it found.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-60}"
shift || true
targets=("$@")
[ ${#targets[@]} -ne 0 ] || targets=(fuzz_hextext fuzz_numeric fuzz_replies fuzz_outgoing
                                      fuzz_listfile fuzz_builder fuzz_sim_server)

command -v clang++ >/dev/null || { echo "clang++ is missing: run scripts/install-deps.sh" >&2; exit 1; }
launcher=()
! command -v ccache >/dev/null || launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
log=build-fuzz/build.log
mkdir -p build-fuzz
if ! { cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DR7260_FUZZ=ON -DR7260_TESTS=OFF "${launcher[@]}" &&
        cmake --build build-fuzz -j 2 --target "${targets[@]}"; } >"$log" 2>&1; then
    tail -n 30 "$log" >&2
    echo "Building the fuzz targets failed (log: $log)" >&2
    exit 1
fi

failed=0
for target in "${targets[@]}"; do
    corpus="build-fuzz/corpus/$target"
    crashes="build-fuzz/crashes/$target"
    mkdir -p "$corpus" "$crashes"
    if [ -f "fuzz/seeds/$target.hex" ]; then
        n=0
        while read -r line; do
            [ -n "$line" ] || continue
            n=$((n + 1))
            printf "$(sed 's/../\\x&/g' <<<"$line")" >"$corpus/seed-$n"
        done <"fuzz/seeds/$target.hex"
    fi
    run_log="build-fuzz/$target.log"
    # -timeout: an input that takes seconds is a finding too (a hang on some byte stream).
    if "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix="$crashes/" "$corpus" >"$run_log" 2>&1; then
        result="ok"
    else
        result="FAILED: $(grep -m1 -E 'ERROR|runtime error|deadly signal|timeout' "$run_log" || echo "see $run_log")"
        failed=1
    fi
    executions=$(grep -m1 -o 'number_of_executed_units: [0-9]*' "$run_log" | grep -o '[0-9]*$' || echo "?")
    printf '%-16s %10s executions in %ss  %s\n' "$target" "$executions" "$seconds" "$result"
done
[ "$failed" -eq 0 ] || { echo "Crashing inputs are in build-fuzz/crashes/; logs in build-fuzz/*.log" >&2; exit 1; }
