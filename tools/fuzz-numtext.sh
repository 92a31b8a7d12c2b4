#!/usr/bin/env bash
# Fuzzes parse_number against an independent reading of its grammar and
# glibc's strtod. Builds the libFuzzer target with clang into build/fuzz and
# runs it for the given number of seconds (default 30); the corpus found
# stays in build/fuzz/corpus for the next run.
# Usage: tools/fuzz-numtext.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
out=build/fuzz
mkdir -p "$out/corpus"

clang++ -std=c++17 -O2 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
  -I. -Itests/numtext tests/numtext/parse_fuzz.cpp numtext/*.cpp -o "$out/parse_fuzz"

# A few seeds of each shape, for a first run.
if [ -z "$(ls -A "$out/corpus")" ]; then
  i=0
  for seed in " 0.452" "546" "1.2E-2" "-12.5x" "1e400" ".e5" "2.4703282292062327e-324" \
              "9007199254740993" "1.7976931348623159e308" "  +0.000e-0"; do
    printf '%s' "$seed" > "$out/corpus/seed$((i++))"
  done
fi

exec "$out/parse_fuzz" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -dict=tests/numtext/parse_fuzz.dict -print_final_stats=1 "$out/corpus"
