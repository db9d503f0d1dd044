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
#     The same start-up by phase, from the launcher's support trace of these
#     runs (%LOCALAPPDATA%\Tarvex\launcher.log of the prefix's user, cleared
#     first): its own part (every phase but the bridge's calls and the wait
#     for the two digests, which start-up begins on worker threads) against the start of a minimal dialog program built with the
#     same toolchain, measured in the same run; goal at most 1.5 times.
#     And the launcher's time against its floor: two direct starts (the
#     launcher's own process and the main application's) plus reading both
#     files at md5sum's speed (median of md5sum over the same two files on
#     this machine); goal at most 1.25 times.
#  2. and 3. bench/digest.sh: GetFileMd5 throughput under Wine against md5sum
#     on a 200 MB file, and the launcher's peak memory while staging a 200 MB
#     runtime executable against the same with a 1 MB one.
#  4. The launcher's file size and imported DLLs, against the smallest GUI
#     program built with the same compiler and static run-time libraries, and
#     against the goal of 400 KB.
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
$mingw-windres "$source_dir/bench/minimal_dialog.rc" -O coff -o "$out/minimal_dialog.res.o"
$cxx "${flags[@]}" -s -mwindows "$source_dir/bench/minimal_dialog.cpp" "$out/minimal_dialog.res.o" \
  -o "$out/minimal_dialog.exe"

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

# md5sum over the two files the launcher digests, page cache warm: the
# median of the runs, in seconds.
md5sum_both_s() {
  local times=() i t0 t1
  md5sum "$bench/startup/ertmcache" "$bench/startup/Quilord.da" >/dev/null
  for ((i = 0; i < runs; i++)); do
    t0=$(date +%s.%N)
    md5sum "$bench/startup/ertmcache" "$bench/startup/Quilord.da" >/dev/null
    t1=$(date +%s.%N)
    times+=("$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.4f", b - a }')")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{ v[NR] = $1 } END { print v[int(NR / 2) + 1] }'
}
md5sum_s=$(md5sum_both_s)

ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }
in_wine() { "$source_dir/scripts/with-wine-env.sh" "$build_dir" "$@"; }
value() { grep "^$1=" | cut -d= -f2 | tr -d '\r' || { echo "bench: no $1 measured" >&2; exit 3; }; }

inside=$(in_wine bash -c '
  wine reg add "HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full" /v Release /t REG_DWORD /d 528040 /f >/dev/null 2>&1
  wine reg add "HKLM\\SOFTWARE\\Microsoft\\NET Framework Setup\\NDP\\v4\\Full" /v Install /t REG_DWORD /d 1 /f >/dev/null 2>&1
  bench="$1"; runs="$2"; dialog=$(wine winepath -w "$3")
  wine "$bench" startup "D:\\bench\\startup" "D:\\bench\\direct" "$runs" "$dialog"
' bench "$out/startup_bench.exe" "$runs" "$out/minimal_dialog.exe" 2>/dev/null)

launcher_s=$(value launcher_to_first_instruction_s <<<"$inside")
direct_s=$(value direct_to_first_instruction_s <<<"$inside")
digest_s=$(value digest_work_s <<<"$inside")
dialog_s=$(value minimal_dialog_s <<<"$inside")
dialog_end_s=$(value minimal_dialog_end_s <<<"$inside")
phase() { value "phase_$1_ms" <<<"$inside"; }
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
floor_s=$(awk -v d="$direct_s" -v m="$md5sum_s" 'BEGIN { printf "%.4f", 2 * d + m }')
floor_ratio=$(ratio "$launcher_s" "$floor_s")
echo "  floor ${floor_s}s (two direct starts, and md5sum of both files ${md5sum_s}s): ratio $floor_ratio" \
  "(goal at most 1.25: $(awk -v r="$floor_ratio" 'BEGIN { print (r <= 1.25) ? "met" : "not met" }'))"
echo "Start-up by phase, mean of the launcher's own trace over the $runs runs (ms):"
for row in "startup:process start to InitInstance" "checks:start-up checks" "bridge:bridge load and status" \
  "window:window creation" "staging:data-store digest and staging" "child:creation of the child process"; do
  printf '  %-40s %s\n' "${row#*:}" "$(phase "${row%%:*}")"
done
printf '  %-40s %s\n' "of which the bridge's own calls" "$(phase bridge_calls)" \
  "of which waiting for the two digests" "$(phase digests)"
own_ms=$(awk -v list="$(for p in startup checks bridge window staging child bridge_calls digests; do phase $p; done | tr '\n' ' ')" '
  BEGIN { n = split(list, v, " "); for (i = 1; i <= n; i++) if (v[i] == "n/a") { print "n/a"; exit }
          printf "%.1f", v[1] + v[2] + v[3] + v[4] + v[5] + v[6] - v[7] - v[8] }')
dialog_ms=$(awk -v s="$dialog_s" 'BEGIN { printf "%.1f", s * 1000 }')
dialog_end_ms=$(awk -v s="$dialog_end_s" 'BEGIN { printf "%.1f", s * 1000 }')
echo "  minimal dialog program (same toolchain, median): ${dialog_ms} ms to its dialog, ${dialog_end_ms} ms to its end"
if [ "$own_ms" = n/a ]; then
  echo "  the launcher's own part: n/a (the trace lacks a phase)"
else
  own_ratio=$(ratio "$own_ms" "$dialog_ms")
  echo "  the launcher's own part ${own_ms} ms against the minimal dialog program's ${dialog_ms} ms to its dialog: ratio $own_ratio" \
    "(goal at most 1.50: $(awk -v r="$own_ratio" 'BEGIN { print (r <= 1.5) ? "met" : "not met" }'))"
fi
echo "GetFileMd5 throughput and peak memory while staging (bench/digest.sh):"
sed 's/^/  /' <<<"$digest"
echo "  peak memory ratio, 200 MB files against 1 MB files: $(ratio "$big_kb" "$small_kb")"
echo "Launcher file against the smallest GUI program with the same toolchain:"
echo "  size $(mb "$launcher_size") against $(mb "$minimal_size"): ratio $(ratio "$launcher_size" "$minimal_size")"
goal_bytes=409600
echo "  size $(awk -v b="$launcher_size" 'BEGIN { printf "%.0f KB", b / 1024 }') against the goal of 400 KB ($goal_bytes bytes):" \
  "$(awk -v b="$launcher_size" -v g="$goal_bytes" 'BEGIN { print (b <= g) ? "met" : "not met, " int((b - g) / 1024 + 0.999) " KB over" }')"
echo "  imported DLLs ($(wc -w <<<"$launcher_imports") against $(wc -w <<<"$minimal_imports")): $launcher_imports"
echo "  the smallest program imports: $minimal_imports"
