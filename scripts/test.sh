#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite twice: a plain build, then one
# with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
jobs=$(nproc)

run_suite() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Debug "$@" >/dev/null
    cmake --build "$dir" -j"$jobs"
    (cd "$dir" && ctest --output-on-failure --timeout 900)
    # CTest names the tests it skipped; their reasons are in their output.
    local skipped
    skipped=$(grep -h '^SKIP' "$dir/Testing/Temporary/LastTest.log" | sort -u || true)
    if [ -n "$skipped" ]; then
        echo "Skipped here, with the reasons:"
        echo "$skipped"
    fi
}

export QT_QPA_PLATFORM=offscreen
echo "== Tests =="
run_suite "$root/build-test"

echo "== Tests under AddressSanitizer and UndefinedBehaviorSanitizer =="
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
run_suite "$root/build-asan" -DTICKETWRIGHT_SANITIZE=ON

echo "== Fuzzing the ticket-count reader and the cursor decoder =="
"$root/tests/fuzz/run.sh" "$root/build-fuzz" 200000
