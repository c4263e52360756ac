#!/usr/bin/env bash
# Builds Tombolix with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test again; any report fails the run. Leak checking is off: Qt and
# fontconfig keep process-lifetime caches that are reported as leaks.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOMBOLIX_SANITIZE=ON
cmake --build build-asan -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
