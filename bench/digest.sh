#!/usr/bin/env bash
# Digest benchmark, run by hand (not by ctest). Prints, in one run on the same
# files:
#   1. GetFileMd5's throughput under Wine against md5sum's, as a ratio;
#   2. the launcher's peak memory (VmHWM of its Wine process) while it stages
#      a 200 MB runtime executable next to a 200 MB data store, against the
#      same launcher staging 1 MB files: hashing in fixed-size pieces keeps
#      the two close, where holding whole files would add about 200 MB.
# Usage: bench/digest.sh [BUILD_DIR]   (default: build/i686 where 32-bit code runs, else build/x86_64)
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${1:-}" ]; then
  . "$root/scripts/legs.sh"
  quilo_choose_width
  set -- "$root/build/$QUILO_WIDTH"
fi
build=$(cd "$1" && pwd)

cmake --build "$build" -j2 --target digest_bench TarvexLauncher runtime_standin test_bridge test_bridge_lab >/dev/null

work=$build/drive-d/bench-digest
mkdir -p "$work"
data=$work/data-200m.bin
[ -f "$data" ] || head -c 200M /dev/urandom >"$data"
size_mb=200

# --- 1. throughput --------------------------------------------------------
md5sum "$data" >/dev/null # warm the page cache for both
t0=$(date +%s.%N)
expected=$(md5sum "$data" | cut -d' ' -f1 | tr a-f A-F)
t1=$(date +%s.%N)
md5_seconds=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')

export QUILO_BENCH_WORK=$work
"$root/scripts/with-wine-env.sh" "$build" bash -s "$expected" "$md5_seconds" "$size_mb" <<'INNER'
set -eu
expected=$1 md5_seconds=$2 size_mb=$3
work=$QUILO_BENCH_WORK
build=$QUILO_BUILD_DIR

wine "$build/bench/digest_bench.exe" 'D:\bench-digest\data-200m.bin' >/dev/null 2>&1 || true # warm up Wine
line=$(wine "$build/bench/digest_bench.exe" 'D:\bench-digest\data-200m.bin' | tr -d '\r')
digest=$(sed -n 's/.*digest=\([0-9A-F]*\).*/\1/p' <<<"$line")
wine_seconds=$(sed -n 's/.*seconds=\([0-9.]*\).*/\1/p' <<<"$line")
[ "$digest" = "$expected" ] || { echo "digest mismatch: GetFileMd5 $digest, md5sum $expected" >&2; exit 1; }
echo "file: ${size_mb} MB, digest $digest (GetFileMd5 and md5sum agree)"
awk -v mb="$size_mb" -v m="$md5_seconds" -v w="$wine_seconds" 'BEGIN {
  printf "md5sum:              %8.1f MB/s\n", mb / m
  printf "GetFileMd5 (Wine):   %8.1f MB/s\n", mb / w
  printf "throughput ratio GetFileMd5/md5sum: %.2f\n", m / w
}'
echo "digest_bench: $line"

# --- 2. launcher peak memory while staging ----------------------------------
wine reg add 'HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Full' /v Release /t REG_DWORD /d 528040 /f >/dev/null 2>&1
wine reg add 'HKLM\SOFTWARE\Microsoft\NET Framework Setup\NDP\v4\Full' /v Install /t REG_DWORD /d 1 /f >/dev/null 2>&1

upper_md5() { md5sum "$1" | cut -d' ' -f1 | tr a-f A-F; }

# Prints the launcher's VmHWM in kB while it waits for a main application
# that was staged from files of the given size.
stage_peak_kb() {
  local mb=$1 dir=$work/install-$1
  rm -rf "$dir"
  mkdir -p "$dir"
  cp "$build/TarvexLauncher.exe" "$build/standins/test_bridge/CsVarnApi.dll" \
     "$build/standins/test_bridge/CsVarnLab.dll" "$dir/"
  # A program with trailing data still runs: the runtime stand-in grows to the size.
  cp "$build/standins/runtime_standin.exe" "$dir/ertmcache"
  head -c "${mb}M" "$work/data-200m.bin" >>"$dir/ertmcache"
  head -c "${mb}M" "$work/data-200m.bin" >"$dir/Quilord.da"
  printf 'Apexm5=%s\r\nApdbm5=%s\r\n' "$(upper_md5 "$dir/ertmcache")" "$(upper_md5 "$dir/Quilord.da")" >"$dir/AppConf.ini"
  printf 'status=1\ncomputer_id=BENCH\n' >"$dir/test-bridge.ini"
  : >"$dir/runtime-hold.txt"
  wine "D:\\bench-digest\\install-$mb\\TarvexLauncher.exe" >/dev/null 2>&1 &
  local waited=0
  until [ -f "$dir/runtime-args.txt" ]; do
    sleep 0.2; waited=$((waited + 1))
    [ $waited -lt 600 ] || { echo "the main application did not start from $dir" >&2; return 1; }
  done
  local pid
  pid=$(pgrep -f "install-$mb.TarvexLauncher.exe" | head -n1)
  awk '/^VmHWM/ {print $2}' "/proc/$pid/status"
  : >"$dir/runtime-release.txt"
  wait
}

small=$(stage_peak_kb 1)
large=$(stage_peak_kb 200)
echo "launcher peak memory (VmHWM of its Wine process) while staging:"
echo "  1 MB runtime + 1 MB store:     ${small} kB"
echo "  200 MB runtime + 200 MB store: ${large} kB"
echo "  growth for 199 MB more data:   $((large - small)) kB"
INNER
