#!/usr/bin/env bash
# Builds every preset and runs every test: the native build (ASan + UBSan) and the Windows
# build under Wine, inside a network namespace of the run's own with nginx on loopback.
#
# The product is 32-bit and its Windows tests run in a 32-bit Wine prefix. A host whose kernel
# cannot execute 32-bit Linux programs cannot run 32-bit Wine at all; there the same Windows
# code is built for x86_64 (preset win64) and its tests run in a 64-bit prefix, and the run
# says so loudly. The 32-bit product is built either way.
set -euo pipefail
cd "$(dirname "$0")/.."

start=$(date +%s)
bash scripts/setup.sh

source scripts/windows-preset.sh
if [ "$windows_preset" = win64 ]; then
  cat >&2 <<'MSG'
test: NOTE: this host's kernel cannot execute 32-bit programs, so 32-bit Wine cannot run here.
test: NOTE: the Windows tests run from the x86_64 build (preset win64) in a 64-bit Wine prefix.
MSG
fi

# tsan: the download engine's tests again under ThreadSanitizer.
presets=(native tsan win32)
[ "$windows_preset" = win32 ] || presets+=("$windows_preset")
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done

export NEXVALE_HARNESS_TOOL=$PWD/build/$windows_preset/bin/harness_tool.exe
if ! unshare --net true 2>/dev/null; then
  echo "test: cannot create a network namespace (unshare --net); the tests need one for ports 80 and 443" >&2
  exit 1
fi

status=0
NEXVALE_WINDOWS_PRESET=$windows_preset unshare --net -- tests/harness/run-in-namespace.sh bash -c '
  status=0
  ctest --preset native || status=1
  ctest --preset tsan || status=1
  ctest --preset "$NEXVALE_WINDOWS_PRESET" || status=1
  exit $status' || status=$?

# The parsers' fuzz targets, briefly: a regression check, not a search (scripts/fuzz.sh SECONDS
# runs longer searches).
bash scripts/fuzz.sh 5 || status=1

echo "test: finished in $(( $(date +%s) - start )) s"
exit "$status"
