#!/usr/bin/env bash
# Times a fresh build of the tests' configuration for two commits side by
# side: bench/build-time.sh [BEFORE] [AFTER] (default HEAD~1 and HEAD).
# Each commit is cloned into a temporary folder and built from nothing with
# no compiler cache; the wall and CPU time (user + sys) of configuring and
# building are reported with the ratio AFTER / BEFORE. Run it on a quiet
# machine: other work skews the wall time far more than the CPU time.
# Each build's .ninja_log (the time of every step) is kept in
# ${TONBO_BUILD_TIME_LOGS:-/tmp/tonbo-build-time}.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
before="$(git -C "$repo" rev-parse --verify "${1:-HEAD~1}^{commit}")"
after="$(git -C "$repo" rev-parse --verify "${2:-HEAD}^{commit}")"
logs="${TONBO_BUILD_TIME_LOGS:-/tmp/tonbo-build-time}"
jobs="${TONBO_BUILD_TIME_JOBS:-$(nproc)}"
mkdir -p "$logs"

work="$(mktemp -d "${TMPDIR:-/tmp}/tonbo-build-time-XXXXXX")"
trap 'rm -rf "$work"' EXIT

export CCACHE_DISABLE=1
unset CMAKE_CXX_COMPILER_LAUNCHER CMAKE_C_COMPILER_LAUNCHER

# Prints "wall cpu" in seconds for a fresh build of commit $1.
build_time() {
  local dir="$work/$1"
  git clone -q --no-checkout "$repo" "$dir"
  git -C "$dir" checkout -q "$1"
  local TIMEFORMAT='%R %U %S' spent
  spent="$({ time {
    cmake -S "$dir" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DTONBO_WERROR=ON -DTONBO_BUILD_TESTS=ON -DTONBO_BUILD_BENCH=ON >"$dir/build.log" 2>&1
    cmake --build "$dir/build" -j"$jobs" >>"$dir/build.log" 2>&1
  }; } 2>&1)" || { tail -20 "$dir/build.log" >&2; return 1; }
  cp "$dir/build/.ninja_log" "$logs/$1.ninja_log"
  rm -rf "$dir"
  awk '{ print $1, $2 + $3 }' <<<"$spent"
}

echo "fresh build, $jobs jobs, no compiler cache" >&2
echo "building $before (before)..." >&2
result="$(build_time "$before")"
read -r wall_before cpu_before <<<"$result"
echo "building $after (after)..." >&2
result="$(build_time "$after")"
read -r wall_after cpu_after <<<"$result"

awk -v b="${before:0:12}" -v a="${after:0:12}" -v wb="$wall_before" -v cb="$cpu_before" \
  -v wa="$wall_after" -v ca="$cpu_after" 'BEGIN {
    printf "%-7s %-12s %8s %8s\n", "", "commit", "wall s", "cpu s"
    printf "%-7s %-12s %8.1f %8.1f\n", "before", b, wb, cb
    printf "%-7s %-12s %8.1f %8.1f\n", "after", a, wa, ca
    printf "%-7s %-12s %8.2f %8.2f\n", "ratio", "after/before", wa / wb, ca / cb
  }'
echo "step times: $logs/<commit>.ninja_log" >&2
