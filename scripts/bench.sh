#!/usr/bin/env bash
# Builds and runs the benchmarks (results on standard output).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
for b in $(find build/bench -name "tonbo_bench_*" -type f -executable | sort); do
  [ -x "$b" ] && "$b" "$@"
done
