#!/usr/bin/env bash
# First-paint benchmark of the skin toolkit: a 650 x 360 skin like the setup's main window (a
# 650 x 290 picture, a nine-grid frame, about fifteen controls with PNG state pictures, markup,
# a progress bar) opened under Wine in the test world. Prints the median and maximum of 20
# cold runs of the first paint (archive, parsing, decoding, layout and painting, from Create to
# the end of the first paint), of a full repaint, and of decoding the pictures alone.
# Usage: scripts/bench-first-paint.sh [RUNS]      (the 32-bit build where Wine can run it)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != --inside ]; then
  source scripts/windows-preset.sh
  build_windows_tools skin_first_paint_bench
  export BENCH_PROGRAM=$PWD/build/$windows_preset/bin/skin_first_paint_bench.exe BENCH_PRESET=$windows_preset
  exec unshare --net -- tests/harness/run-in-namespace.sh bash "$0" --inside "${1:-20}"
fi

runs=${2:-20}
echo "Wine $("$NEXVALE_WINE" --version), $BENCH_PRESET build ($NEXVALE_WINE_BITS-bit prefix), $(nproc) cores"
"$NEXVALE_WINE" "$BENCH_PROGRAM" "$runs"
