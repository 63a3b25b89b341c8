#!/usr/bin/env bash
# Builds the libFuzzer targets of tests/fuzz with clang into build-fuzz/ (or
# $FUZZ_BUILD_DIR) and runs each for a bounded time from its seeds in
# tests/fuzz/corpus/<target>/ and the corpus it grew before. Prints every
# target's final statistics and fails on any finding; the input that found it
# is kept as findings/fuzz_<target>-crash-* (or -leak-, -timeout-, -oom-) in
# the build directory. Usage: scripts/fuzz.sh [seconds per target] [target ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${FUZZ_BUILD_DIR:-$root/build-fuzz}"
seconds="${1:-30}"
shift || true
"$root/scripts/install-deps.sh" fuzz
CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DMORVELL_FUZZ=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target fuzz

export ASAN_OPTIONS=detect_leaks=1
export LSAN_OPTIONS="suppressions=$root/cmake/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
symbolizer=/usr/lib/llvm-14/bin/llvm-symbolizer
[ -x "$symbolizer" ] && export ASAN_SYMBOLIZER_PATH="$symbolizer"

targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=($(ls "$root/tests/fuzz/corpus"))
mkdir -p "$build/findings" "$build/logs"
failed=()
for target in "${targets[@]}"; do
    echo "== fuzz_$target: $seconds s"
    corpus="$build/corpus/$target"
    log="$build/logs/fuzz_$target.log"
    mkdir -p "$corpus"
    # New inputs go to the first directory; the seeds in the repository stay as they are.
    if "$build/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 \
        -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/fuzz_$target-" \
        "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1; then
        grep -E '^#[0-9]+[[:space:]]+DONE' "$log" || true
        grep '^stat::' "$log"
    else
        failed+=("fuzz_$target")
        tail -n 80 "$log"
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Findings in: ${failed[*]} (inputs in $build/findings)"
    exit 1
fi
echo "No findings in ${#targets[@]} targets"
