#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test under Wine, in
# two legs of the same sources, each in its own build tree and Wine prefix:
#   x86_64  the 64-bit build in a 64-bit prefix: runs on every machine;
#   i686    the released 32-bit build in a 32-bit prefix, then the WoW64 set
#           (the 32-bit launcher in a 64-bit prefix with a 64-bit main
#           application): only where the machine executes 32-bit code.
# A leg left out says why. QUILO_SKIP_I686=1 leaves the i686 leg out on purpose.
# Usage: scripts/test.sh [BUILD_ROOT]   (default: build/; legs in BUILD_ROOT/x86_64 and BUILD_ROOT/i686)
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_root=${1:-$source_dir/build}
. "$source_dir/scripts/legs.sh"

bash "$source_dir/scripts/setup.sh" || exit 1

run_i686=0
if quilo_can_run_i686; then
  run_i686=1
  echo "test: legs: x86_64 and i686 (with the WoW64 set): this machine executes 32-bit x86 code"
else
  echo "test: legs: x86_64 only; the i686 leg and its WoW64 set are left out: $QUILO_I686_LEFT_OUT"
fi

results=()
total_passed=0
total_failed=0
status=0

# Runs ctest in a build tree and records the result under a name.
# Usage: run_ctest NAME BUILD_DIR [CTEST_ARGS...]
run_ctest() {
  local name=$1 build_dir=$2 started log passed failed out_of
  shift 2
  log="$build_dir/ctest-$name.log"
  started=$SECONDS
  echo "test: $name: running its tests"
  "$source_dir/scripts/with-wine-env.sh" "$build_dir" \
    ctest --test-dir "$build_dir" --output-on-failure --timeout 900 "$@" 2>&1 | tee "$log"
  # "100% tests passed, 0 tests failed out of 27"
  read -r failed out_of < <(sed -n 's/.* tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" | tail -n 1)
  if [ -z "${out_of:-}" ]; then
    results+=("$name: no test ran ($((SECONDS - started)) s)")
    status=1
    return
  fi
  passed=$((out_of - failed))
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  [ "$failed" -eq 0 ] || status=1
  results+=("$name: $passed passed, $failed failed ($((SECONDS - started)) s)")
}

build_leg() {
  local width=$1 build_dir=$2 started=$SECONDS
  shift 2
  echo "test: $width: building in $build_dir"
  if quilo_build "$width" "$build_dir" "$@"; then
    return 0
  fi
  results+=("$width: the build failed ($((SECONDS - started)) s)")
  status=1
  return 1
}

if build_leg x86_64 "$build_root/x86_64"; then
  run_ctest x86_64 "$build_root/x86_64"
fi

if [ "$run_i686" = 1 ]; then
  # Host tests (packager, fuzzers) do not depend on the width: they ran in the x86_64 leg.
  if build_leg i686 "$build_root/i686" -DQUILO_HOST_TESTS=OFF -DQUILO_WOW64_PARTNER_DIR="$build_root/x86_64"; then
    run_ctest i686 "$build_root/i686" -LE wow64
    run_ctest wow64 "$build_root/i686" -L wow64
  fi
else
  results+=("i686 and its WoW64 set: left out, $QUILO_I686_LEFT_OUT")
fi

echo
echo "test: results by leg"
for line in "${results[@]}"; do
  echo "  $line"
done
echo "total: $total_passed passed, $total_failed failed"
exit $status
