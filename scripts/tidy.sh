#!/usr/bin/env bash
# Runs clang-tidy with the committed .clang-tidy over every source file in
# src/ (not tests/ or bench/); exits non-zero on any finding. Too slow for CI
# on two cores: run it before sending a change.
#   TONBO_TIDY_BUILD  build folder whose compile_commands.json is read (build)
#   TONBO_TIDY_JOBS   clang-tidy processes at once (all cores)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$(pwd)"
dir="${TONBO_TIDY_BUILD:-build}"
jobs="${TONBO_TIDY_JOBS:-$(nproc)}"

if [ ! -f "$dir/compile_commands.json" ]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
# The moc output of the widget libraries must exist for their files to parse.
mapfile -t autogen < <(ninja -C "$dir" -t targets all |
  grep -oE '^src/[a-z]+/[A-Za-z0-9_]+_autogen:' | sed 's|.*/||; s|:$||' | sort -u)
if [ "${#autogen[@]}" -gt 0 ]; then
  cmake --build "$dir" --target "${autogen[@]}"
fi

log="$(mktemp)"
trap 'rm -f "$log"' EXIT
# Only this checkout's src/, so the build folder's generated files stay out.
only_src="^$(printf '%s' "$root" | sed 's/[][\.*^$()+?{}|]/\\&/g')/src/"
status=0
# GCC-only warning flags from the build (e.g. -Wno-restrict) mean nothing to clang.
run-clang-tidy -quiet -p "$dir" -j "$jobs" \
  -extra-arg=-Wno-unknown-warning-option "$only_src" 2>&1 | tee "$log" || status=$?

# run-clang-tidy always asks for colour: strip it before counting.
findings="$(sed 's/\x1b\[[0-9;]*m//g' "$log" | grep -cE ':[0-9]+:[0-9]+: (warning|error):' || true)"
if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
  echo "clang-tidy: $findings finding(s) in src/" >&2
  exit 1
fi
echo "clang-tidy: src/ is clean"
