#!/usr/bin/env bash
# Builds Tombolix with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test again; any report fails the run, leaks included, apart from the
# process-lifetime allocations of system libraries in tests/lsan.supp.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOMBOLIX_SANITIZE=ON
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The whole-draw fairness runs 320,000 draws for its statistics, which the
# plain run checks; under the sanitizers that would take minutes and add
# nothing the draw tests do not run already.
ctest --test-dir build-asan --output-on-failure -j"$(nproc)" -E 'draw_fairness'

