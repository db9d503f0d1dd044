#!/usr/bin/env bash
# Performance figures of the launcher, each as a ratio against a baseline
# measured in the same run on the same machine and files. Run by hand, never
# by ctest. Usage: bench/run.sh [BUILD_DIR]   (default: build/i686 where 32-bit code runs, else build/x86_64)
#
#  1. Start-up: time from starting the launcher to the first instruction of the
#     main application (the runtime stand-in records its performance-counter
#     stamp), against starting the same stand-in directly; runtime executable
#     padded to 5 MB and data store to 20 MB (zero bytes appended: an overlay
#     the program loader ignores, and trailing bytes of a store that this path
#     only digests; AppConf.ini records the padded files' digests, so nothing
#     is rebuilt). Also the part of it that is digest work (GetFileMd5 of both).
#  2. and 3. bench/digest.sh: GetFileMd5 throughput under Wine against md5sum
#     on a 200 MB file, and the launcher's peak memory while staging a 200 MB
#     runtime executable against the same with a 1 MB one.
#  4. The launcher's file size and imported DLLs, against the smallest GUI
#     program built with the same compiler and static run-time libraries.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/.." && pwd)
. "$source_dir/scripts/legs.sh"
# By default the released 32-bit launcher where the machine executes 32-bit
# code, else the x86-64 build; the report names the width it measured.
if [ -z "${1:-}" ]; then
  quilo_choose_width
  set -- "$source_dir/build/$QUILO_WIDTH"
fi
build_dir=$(cd "$1" && pwd)
width=$(quilo_width_of "$build_dir")
mingw=$width-w64-mingw32
runs=${QUILO_BENCH_RUNS:-5}
cxx=$mingw-g++-posix

for needed in TarvexLauncher.exe libquilo_core.a standins/runtime_standin.exe; do
  [ -e "$build_dir/$needed" ] || { echo "bench: $build_dir/$needed is missing; build first" >&2; exit 2; }
done
if [ ! -d "$build_dir/standins/launch_install" ]; then
  ctest --test-dir "$build_dir" -R '^launch_install_pack$' >/dev/null
fi

# The bench programs, built like the launcher.
out=$build_dir/bench
mkdir -p "$out"
flags=(-std=c++17 -O2 -DUNICODE -D_UNICODE -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -DNOMINMAX
       -static -static-libgcc -static-libstdc++ -municode)
$cxx "${flags[@]}" -I"$source_dir" "$source_dir/bench/startup_bench.cpp" "$build_dir/libquilo_core.a" \
  -lcomctl32 -lshlwapi -lshell32 -ladvapi32 -luser32 -lgdi32 -lole32 -loleaut32 -lversion -luuid \
  -o "$out/startup_bench.exe"
# Stripped like the release launcher.
$cxx "${flags[@]}" -s -mwindows "$source_dir/bench/minimal_program.cpp" -o "$out/minimal_program.exe"

# Install directories on drive D: (the build tree's drive-d).
bench=$build_dir/drive-d/bench
rm -rf "$bench"
mkdir -p "$bench/startup" "$bench/direct"
upper_md5() { md5sum "$1" | cut -c1-32 | tr a-f A-F; }
lay_out() {  # DIR RUNTIME_BYTES STORE_BYTES
  cp "$build_dir/standins/launch_install/"* "$1/"
  cp "$build_dir/TarvexLauncher.exe" "$1/"
  cp "$build_dir/standins/runtime_standin.exe" "$1/ertmcache"
  truncate -s "$2" "$1/ertmcache"
  truncate -s "$3" "$1/Quilord.da"
  printf '[Digests]\r\nApexm5=%s\r\nApdbm5=%s\r\n' "$(upper_md5 "$1/ertmcache")" "$(upper_md5 "$1/Quilord.da")" \
    >"$1/AppConf.ini"
}
lay_out "$bench/startup" 5M 20M
cp "$bench/startup/ertmcache" "$bench/direct/InPrRtm.exe"

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
in_wine() { "$source_dir/scripts/with-wine-env.sh" "$build_dir" "$@"; }
value() { grep "^$1=" | cut -d= -f2 | tr -d '\r' || { echo "bench: no $1 measured" >&2; exit 3; }; }

inside=$(in_wine bash -c '
  wine reg add "HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full" /v Release /t REG_DWORD /d 528040 /f >/dev/null 2>&1
  wine reg add "HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full" /v Install /t REG_DWORD /d 1 /f >/dev/null 2>&1
  bench="$1"; runs="$2"
  wine "$bench" startup "D:\\bench\\startup" "D:\\bench\\direct" "$runs"
' bench "$out/startup_bench.exe" "$runs" 2>/dev/null)

launcher_s=$(value launcher_to_first_instruction_s <<<"$inside")
direct_s=$(value direct_to_first_instruction_s <<<"$inside")
digest_s=$(value digest_work_s <<<"$inside")
digest=$("$source_dir/bench/digest.sh" "$build_dir")
small_kb=$(sed -n 's/^  1 MB runtime + 1 MB store: *\([0-9]*\) kB/\1/p' <<<"$digest")
big_kb=$(sed -n 's/^  200 MB runtime + 200 MB store: *\([0-9]*\) kB/\1/p' <<<"$digest")

launcher_size=$(stat -c %s "$build_dir/TarvexLauncher.exe")
minimal_size=$(stat -c %s "$out/minimal_program.exe")
imports() { $mingw-objdump -p "$1" | awk '/DLL Name:/ { print $3 }' | sort -f | tr '\n' ' '; }
launcher_imports=$(imports "$build_dir/TarvexLauncher.exe")
minimal_imports=$(imports "$out/minimal_program.exe")

mb() { awk -v b="$1" 'BEGIN { printf "%.2f MB", b / 1048576 }'; }
echo "Width: $width launcher ($build_dir)$([ "$width" = i686 ] || echo '; the release is the i686 one')"
echo "Start-up to the main application's first instruction (5 MB runtime, 20 MB store, median of $runs):"
echo "  launcher ${launcher_s}s, stand-in started directly ${direct_s}s: ratio $(ratio "$launcher_s" "$direct_s")"
echo "  digest work (GetFileMd5 of runtime and store) ${digest_s}s: $(ratio "$digest_s" "$launcher_s") of the launcher's time"
echo "GetFileMd5 throughput and peak memory while staging (bench/digest.sh):"
sed 's/^/  /' <<<"$digest"
echo "  peak memory ratio, 200 MB files against 1 MB files: $(ratio "$big_kb" "$small_kb")"
echo "Launcher file against the smallest GUI program with the same toolchain:"
echo "  size $(mb "$launcher_size") against $(mb "$minimal_size"): ratio $(ratio "$launcher_size" "$minimal_size")"
echo "  imported DLLs ($(wc -w <<<"$launcher_imports") against $(wc -w <<<"$minimal_imports")): $launcher_imports"
echo "  the smallest program imports: $minimal_imports"
