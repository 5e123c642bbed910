#!/usr/bin/env bash
# Builds a release and a sanitizer build and runs every test in both, then the thread tests
# under ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTOLVAR_SANITIZE=ON -DTOLVAR_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

# Under ThreadSanitizer: the state hand-over between UI and audio thread, and controller
# calls from a second thread while editors open and close.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=Debug -DTOLVAR_TSAN=ON -DTOLVAR_BENCH=OFF
cmake --build build-tsan -j"$jobs" --target handover_tests controller_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/processor/handover_tests
TSAN_OPTIONS=halt_on_error=1 build-tsan/tests/controller/controller_tests \
  --gtest_filter=Editor.ControllerCallsFromAnotherThreadWhileEditorsOpenAndClose
