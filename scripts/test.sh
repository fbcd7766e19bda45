#!/usr/bin/env bash
# Builds the Debug configuration with AddressSanitizer and UBSan and runs every test.
# The tests with windows need an X display: the whole run goes under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-debug -DCMAKE_BUILD_TYPE=Debug -DBRENVOX_SANITIZE=ON
cmake --build build-debug -j"$(nproc)"
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-debug --output-on-failure --timeout 300
