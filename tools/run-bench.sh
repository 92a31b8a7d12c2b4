#!/usr/bin/env bash
# run-bench.sh BUILD_DIR
#
# Prints the benchmark figures of a build tree (best a Release tree without
# sanitizers, as "make bench" makes): the number text conversions natively,
# then the driver under Wine against the simulated instrument, and the
# machine they were taken on.
set -euo pipefail

if [ $# -ne 1 ] || [ ! -d "$1" ]; then
    echo "usage: $0 BUILD_DIR" >&2
    exit 2
fi
build=$(realpath "$1")
repo="$(cd "$(dirname "$0")/.." && pwd)"

for program in "$build/bench/numtext_bench" "$build/win/bin/driver_bench.exe"; do
    if [ ! -f "$program" ]; then
        echo "run-bench: $program is missing; build the tree first" >&2
        exit 1
    fi
done

cpu=$(sed -n 's/^model name[[:space:]]*: *//p' /proc/cpuinfo | head -n 1)
runner="natively"
if [ -r /proc/sys/fs/binfmt_misc/qemu-i386 ] && head -n 1 /proc/sys/fs/binfmt_misc/qemu-i386 | grep -q enabled; then
    runner="through qemu-user (binfmt_misc qemu-i386)"
fi
echo "Machine: $(nproc) CPUs, ${cpu:-unknown CPU}, $(uname -sm); the Windows programs run under" \
     "$(wine --version 2>/dev/null || echo Wine), its 32-bit code $runner."
echo

echo "# Number text conversions (native)"
echo
"$build/bench/numtext_bench"
echo

VJ_BUILD_DIR="$build" "$repo/tools/run-under-wine.sh" "$build/win/bin/driver_bench.exe"
