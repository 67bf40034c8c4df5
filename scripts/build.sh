#!/usr/bin/env bash
# Configures build/ the one way that run.sh, test.sh and bench.sh share
# (warnings as errors, tests, benchmarks, run-time assertions), so each reuses
# what another built, then builds the targets named (everything when none).
# Arguments that start with -D go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
defs=()
targets=()
for arg in "$@"; do
  case "$arg" in
    -D*) defs+=("$arg") ;;
    *) targets+=(--target "$arg") ;;
  esac
done
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTONBO_WERROR=ON \
  -DTONBO_BUILD_TESTS=ON -DTONBO_BUILD_BENCH=ON "${defs[@]}"
cmake --build build -j"$(nproc)" "${targets[@]}"
