#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and
# runs every test again (the benchmarks are left out).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTONBO_SANITIZE=ON \
  -DTONBO_WERROR=ON -DTONBO_BUILD_BENCH=OFF
cmake --build build-sanitize -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
# Qt and GLib keep caches for the life of the process; leaks are not checked.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# The crash harness kills tonbo-cli 50 times by default; ten runs do under the sanitizers.
export TONBO_CRASH_RUNS=10
cd build-sanitize
ctest --output-on-failure -j"$(nproc)" --timeout 900
