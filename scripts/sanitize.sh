#!/usr/bin/env bash
# Builds the program and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/ (or $SANITIZE_BUILD_DIR) and
# runs the tests offscreen. Every sanitizer report, of a test or of a program
# a test starts, goes to a file under sanitizer-reports/ in the build
# directory; any such file fails the run and is printed.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${SANITIZE_BUILD_DIR:-$root/build-sanitize}"
"$root/scripts/install-deps.sh" tests
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVELL_SANITIZE=ON \
    -DMORVELL_BENCHMARKS=ON \
    >/dev/null
cmake --build "$build" -j "$(nproc)"

reports="$build/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
# Full stacks through Qt's libraries, which have no frame pointers, so that
# the suppressions can name the library a leak comes from.
export ASAN_OPTIONS="detect_leaks=1:fast_unwind_on_malloc=0:log_path=$reports/asan"
export LSAN_OPTIONS="suppressions=$root/cmake/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:log_path=$reports/ubsan"
status=0
"$root/scripts/ctest.sh" "$build" || status=1
for report in "$reports"/*; do
    [ -e "$report" ] || continue
    echo "== $report"
    cat "$report"
    status=1
done
exit $status
