#!/usr/bin/env bash
# Builds every fuzz harness and runs each for SECONDS (default 30) from the
# seeds in fuzz/corpus; prints each one's executions and coverage, and
# exits non-zero on any finding (crash, sanitizer report, broken invariant),
# after printing its log and the input that caused it.
#   fuzz/run.sh [SECONDS]
set -uo pipefail
secs=${1:-30}
top=$(cd "$(dirname "$0")/.." && pwd)
if ! (cd "$top" && cmake --preset fuzz >/dev/null && cmake --build --preset fuzz >/dev/null); then
  echo "fuzz harnesses: the build failed"
  exit 2
fi
bin=$top/build-fuzz/bin
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
for h in $(cat "$top/build-fuzz/programmes.txt") rapide; do
  case $h in day*) len=32 ;; rapide) len=4096 ;; *) len=256 ;; esac
  mkdir -p "$work/$h"
  if "$bin/fuzz_$h" -max_total_time="$secs" -max_len="$len" -print_final_stats=1 \
      -dict="$top/fuzz/dates.dict" -artifact_prefix="$work/$h-" "$work/$h" "$top/fuzz/corpus/$h" \
      >"$work/$h.log" 2>&1; then
    runs=$(awk '/stat::number_of_executed_units/ {print $2}' "$work/$h.log")
    cov=$(grep -oE 'cov: [0-9]+ ft: [0-9]+' "$work/$h.log" | tail -n 1)
    echo "$h: $runs executions, $cov, no finding"
  else
    echo "$h: FINDING"
    tail -n 40 "$work/$h.log"
    for a in "$work/$h"-*; do [ -f "$a" ] && { echo "input ($a):"; od -c "$a" | head -n 20; }; done
    status=1
  fi
done
exit $status
