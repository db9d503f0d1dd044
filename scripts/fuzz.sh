#!/usr/bin/env bash
# Runs fuzzers on a copy of their seed corpus and prints executions and findings.
# Usage: scripts/fuzz.sh [--build-dir DIR] [--seconds N] [NAME...]   (default: every fuzzer, 60 s each)
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$source_dir/build/x86_64
seconds=60
names=()
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) build_dir=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    *) names+=("$1"); shift ;;
  esac
done
if [ ${#names[@]} -eq 0 ]; then
  for corpus in "$source_dir"/fuzz/corpus/*/; do names+=("$(basename "$corpus")"); done
fi

status=0
for name in "${names[@]}"; do
  fuzzer="$build_dir/fuzz/${name}_fuzzer"
  [ -x "$fuzzer" ] || { echo "fuzz: $fuzzer is not built" >&2; exit 2; }
  work="$build_dir/fuzz-work/$name"
  mkdir -p "$work/corpus" "$work/findings"
  cp -n "$source_dir/fuzz/corpus/$name"/* "$work/corpus/" 2>/dev/null || true
  log="$work/last-run.log"
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$work/findings/" "$work/corpus" >"$log" 2>&1; then
    result=ok
  else
    result=FINDING
    status=1
  fi
  runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
  findings=$(find "$work/findings" -type f | wc -l)
  echo "fuzz $name: $result, ${runs:-?} executions in ${seconds}s, $findings finding(s)"
  if [ "$result" != ok ]; then
    tail -n 30 "$log"
  fi
done
exit $status
