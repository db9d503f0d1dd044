#!/usr/bin/env bash
# Sets up a fresh machine, builds everything and runs every test under Wine, in
# two legs of the same sources, each in its own build tree and Wine prefix:
#   x86_64  the 64-bit build in a 64-bit prefix: runs on every machine;
#   i686    the released 32-bit build in a 32-bit prefix, then the WoW64 set
#           (the 32-bit launcher in a 64-bit prefix with a 64-bit main
#           application): natively where the machine executes 32-bit code,
#           else in a full-system emulator (scripts/i686-vm.sh), "i686 (emulated)".
# The emulated leg runs the set of suites that only the 32-bit build can show
# (unit tests, bridge, start-up, loading, launch, update, guard, and the WoW64
# smoke); QUILO_I686_FULL=1 runs all of the i686 leg and the WoW64 set there.
# QUILO_SKIP_I686=1 leaves the i686 leg out on purpose; nothing else does: a
# leg that cannot start fails with the reason.
# Usage: scripts/test.sh [BUILD_ROOT]   (default: build/; legs in BUILD_ROOT/x86_64 and BUILD_ROOT/i686)
set -uo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build_root=${1:-$source_dir/build}
mkdir -p "$build_root"
build_root=$(cd "$build_root" && pwd)
. "$source_dir/scripts/legs.sh"

run_started=$SECONDS
bash "$source_dir/scripts/setup.sh" || exit 1
setup_seconds=$((SECONDS - run_started))

quilo_i686_mode
case $QUILO_I686_MODE in
  native) echo "test: legs: x86_64 and i686 (with the WoW64 set): $QUILO_I686_REASON" ;;
  emulated)
    if [ "${QUILO_I686_FULL:-0}" != 0 ]; then
      i686_set="all of it and all of the WoW64 set (QUILO_I686_FULL)"
    else
      i686_set="the 32-bit set and the WoW64 smoke; QUILO_I686_FULL=1 runs all of it"
    fi
    echo "test: legs: x86_64 and i686 (emulated), $i686_set: the i686 leg is $QUILO_I686_REASON"
    ;;
  *) echo "test: legs: x86_64 only; the i686 leg and its WoW64 set are left out: $QUILO_I686_REASON" ;;
esac

results=()
total_passed=0
total_failed=0
status=0

# Runs ctest in a build tree and records the result under a label; the log is
# kept as BUILD_DIR/ctest-NAME.log. With QUILO_RUN_IN_VM=1 it runs in the i686
# guest. The WoW64 set runs with QUILO_WINE_ARCH=win64, so that the prefix made
# and served for the whole run is the 64-bit one its tests use.
# Usage: run_ctest NAME LABEL BUILD_DIR [CTEST_ARGS...]
run_ctest() {
  local name=$1 label=$2 build_dir=$3 started log passed failed out_of runner=()
  shift 3
  log="$build_dir/ctest-$name.log"
  started=$SECONDS
  if [ "${QUILO_RUN_IN_VM:-0}" = 1 ]; then
    runner=("$source_dir/scripts/in-i686-vm.sh")
  fi
  echo "test: $label: running its tests"
  "${runner[@]}" "$source_dir/scripts/with-wine-env.sh" "$build_dir" \
    ctest --test-dir "$build_dir" --output-on-failure --timeout 900 "$@" 2>&1 | tee "$log"
  # "100% tests passed, 0 tests failed out of 27"
  read -r failed out_of < <(sed -n 's/.* tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\).*/\1 \2/p' "$log" | tail -n 1)
  if [ -z "${out_of:-}" ]; then
    results+=("$label: no test ran ($((SECONDS - started)) s)")
    status=1
    return
  fi
  passed=$((out_of - failed))
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  [ "$failed" -eq 0 ] || status=1
  results+=("$label: $passed passed, $failed failed ($((SECONDS - started)) s)")
}

build_leg() {
  local width=$1 build_dir=$2 started=$SECONDS
  shift 2
  echo "test: $width: building in $build_dir"
  if quilo_build "$width" "$build_dir" "$@"; then
    results+=("$width: built in $((SECONDS - started)) s")
    return 0
  fi
  results+=("$width: the build failed ($((SECONDS - started)) s)")
  status=1
  return 1
}

results+=("set-up: $setup_seconds s")
if build_leg x86_64 "$build_root/x86_64"; then
  run_ctest x86_64 x86_64 "$build_root/x86_64"
fi

# Host tests (packager, fuzzers) do not depend on the width: they ran in the x86_64 leg.
i686_configuration=(-DQUILO_HOST_TESTS=OFF -DQUILO_WOW64_PARTNER_DIR="$build_root/x86_64")
case $QUILO_I686_MODE in
  native)
    if build_leg i686 "$build_root/i686" "${i686_configuration[@]}" -DQUILO_TEST_TIMEOUT_FACTOR=1; then
      run_ctest i686 i686 "$build_root/i686" -LE wow64
      QUILO_WINE_ARCH=win64 run_ctest wow64 wow64 "$build_root/i686" -L wow64
    fi
    ;;
  emulated)
    # The emulator runs the same code several times slower: the suites' time limits grow with it.
    if build_leg i686 "$build_root/i686" "${i686_configuration[@]}" -DQUILO_TEST_TIMEOUT_FACTOR=4; then
      i686_only=() wow64_only=()
      if [ "${QUILO_I686_FULL:-0}" = 0 ]; then
        i686_only=(-R '^(unit_tests|bridge_scenarios|startup_scenarios|loading_scenarios|launch_scenarios|update_scenarios|guard_scenarios)$')
        wow64_only=(-R '^wow64_scenarios$')
      fi
      export QUILO_VM_DIR="$build_root/i686-vm"
      QUILO_RUN_IN_VM=1 run_ctest i686 "i686 (emulated)" "$build_root/i686" -LE wow64 "${i686_only[@]}"
      QUILO_RUN_IN_VM=1 QUILO_WINE_ARCH=win64 run_ctest wow64 "wow64 (emulated)" "$build_root/i686" -L wow64 "${wow64_only[@]}"
    fi
    ;;
  *) results+=("i686 and its WoW64 set: left out, $QUILO_I686_REASON") ;;
esac

echo
echo "test: results by leg"
for line in "${results[@]}"; do
  echo "  $line"
done
echo "  all: $((SECONDS - run_started)) s"
echo "total: $total_passed passed, $total_failed failed"
exit $status
