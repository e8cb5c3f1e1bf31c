#!/usr/bin/env bash
# Size of the 32-bit product and where its bytes come from, by library and by section.
#
# Two executables of the win32 preset's configuration, built in a folder of their own with the
# linker's maps: "VandrelSetup.exe", the product as it is, and the "full link", the same setup
# linked with everything the finished program will reach (download engine with TLS, WinHTTP
# requests, analytics, skin toolkit with its picture decoder, skin and configuration archives,
# icon). The 3 MiB goal applies to the full link.
#
# Usage: scripts/size-report.sh [BUILD_DIR]     (default build/size-win32)
#   SIZE_CMAKE_ARGS  more configure options, e.g. "-DNEXVALE_LTO=OFF" or "-DCMAKE_BUILD_TYPE=Release"
set -euo pipefail
cd "$(dirname "$0")/.."

build=${1:-build/size-win32}
goal_bytes=$((3 * 1024 * 1024))
mkdir -p "$build"
read -r -a extra <<< "${SIZE_CMAKE_ARGS:-}"

cmake --preset win32 -B "$build" -DNEXVALE_LINKER_MAPS=ON "${extra[@]}" > "$build/size-configure.log" 2>&1 ||
  { cat "$build/size-configure.log" >&2; exit 1; }
cmake --build "$build" --target VandrelSetup VandrelSetup-full-link > "$build/size-build.log" 2>&1 ||
  { tail -50 "$build/size-build.log" >&2; exit 1; }

product_map=$build/maps/VandrelSetup.map
full_map=$build/maps/VandrelSetup-full-link.map
openssl=$(grep -o -m1 '[^ (]*/lib/libcrypto\.a' "$full_map" || echo "not linked")
configuration=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt")
lto=$(sed -n 's/^NEXVALE_LTO:BOOL=//p' "$build/CMakeCache.txt")

echo "size report: win32 (i686-w64-mingw32), $configuration, link-time optimisation ${lto:-OFF}"
[ "$lto" != ON ] || echo "  the optimised code is split into a section per function for the map: a few KiB above the shipped link"
echo "  OpenSSL: ${openssl%/lib/libcrypto.a}"
echo "  the goal applies to the full link; VandrelSetup.exe is the product as it links today"
python3 scripts/size_report.py --goal-bytes "$goal_bytes" --goal-label "(3 MiB)" \
  "VandrelSetup.exe=$build/bin/VandrelSetup.exe:$product_map" \
  "full link=$build/bin/VandrelSetup-full-link.exe:$full_map"
