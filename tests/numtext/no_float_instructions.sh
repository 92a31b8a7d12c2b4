#!/usr/bin/env bash
# Fails if the numtext library holds a floating-point arithmetic, compare or
# conversion instruction: the conversions must work on integers alone, so
# that no control state or unmasked fault of a host can reach them.
# Moves of floating values between memory and registers are allowed, and so
# are the x87 loads a 32-bit function returning a float or a double ends with.
# Usage: no_float_instructions.sh OBJDUMP LIBRARY
set -euo pipefail
objdump=$1
library=$2

forbidden='^(cvt[a-z0-9]*|v?(add|sub|mul|div|sqrt|min|max|cmp|rcp|rsqrt|round|dp|hadd|hsub)(ss|sd|ps|pd)|v?u?comis[sd]|f[a-z0-9]*)$'
allowed='^(fld|flds|fldl)$'

listing=$("$objdump" -d --no-show-raw-insn "$library")
found=$(awk -F'\t' 'NF >= 2 { split($2, word, " "); print word[1] }' <<<"$listing" |
  { grep -E "$forbidden" || true; } | { grep -vE "$allowed" || true; } | sort | uniq -c)
if [ -n "$found" ]; then
  echo "floating-point instructions in $library:"
  echo "$found"
  exit 1
fi
echo "no floating-point arithmetic in $library"
