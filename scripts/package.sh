#!/usr/bin/env bash
# Builds the Debian package from a Release build of its own (build-release/,
# no tests), its programs stripped, and checks it with packaging/check-deb.sh.
# Not part of test.sh: it is a second full build.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTONBO_BUILD_TESTS=OFF -DTONBO_BUILD_BENCH=OFF
cmake --build build-release -j"$(nproc)"
(cd build-release && cpack -G DEB)
deb=$(ls -t build-release/tonbo_*.deb | head -1)
bash packaging/check-deb.sh "$deb"
echo "$deb"
