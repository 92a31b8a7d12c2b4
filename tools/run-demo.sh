#!/usr/bin/env bash
# Shows the driver working: the demo program loads the com1 build under
# Wine, against the simulated instrument, sets a wavelength and reads.
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
export VJ_BUILD_DIR="${VJ_BUILD_DIR:-$repo/build}"
"$repo/tools/run-under-wine.sh" "$VJ_BUILD_DIR/win/bin/jenway_demo.exe" 1
"$repo/tools/run-under-wine.sh" "$VJ_BUILD_DIR/win/bin/jenway_demo.exe" 1 --set 550
