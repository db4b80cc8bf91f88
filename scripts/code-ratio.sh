#!/usr/bin/env bash
# Compares the test code with the product code: the lines of every file under tests/ against the
# lines of the product's .cpp and .h files (everything outside tests/, bench/, scripts/, fuzz/ and
# the build folders). Files are those git tracks plus new ones it does not ignore. Prints one line,
# "tests 1,650 / product 7,123 = 0.232", and exits 1 when the tests exceed 0.35 of the product.
set -euo pipefail
cd "$(dirname "$0")/.."

limit_percent=35

# NUL-separated paths relative to the top folder.
candidate_files() {
    if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
        git ls-files -z --cached --others --exclude-standard
    else
        find . -path ./.git -prune -o -type f -print0 | sed -z 's|^\./||'
    fi
}

# 7123 -> 7,123
grouped() {
    sed -E ':again; s/([0-9])([0-9]{3})($|,)/\1,\2\3/; t again' <<<"$1"
}

tests=0
product=0
while IFS= read -r -d '' path; do
    [[ -f $path ]] || continue # tracked, but deleted in the work tree
    case $path in
    tests/*) tests=$((tests + $(wc -l <"$path"))) ;;
    bench/* | scripts/* | fuzz/* | build*/*) ;;
    *.cpp | *.h) product=$((product + $(wc -l <"$path"))) ;;
    esac
done < <(candidate_files | sort -zu)

ratio=$(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.3f", p ? t / p : 0 }')
echo "tests $(grouped "$tests") / product $(grouped "$product") = $ratio"
if ((product == 0 || tests * 100 > product * limit_percent)); then
    echo "The tests are above 0.$limit_percent of the product's lines." >&2
    exit 1
fi
