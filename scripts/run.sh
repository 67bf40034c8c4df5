#!/usr/bin/env bash
# Installs what is missing, builds and starts Tonbo (arguments: files to add).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh tonbo tonbo-cli
exec build/src/app/tonbo "$@"
