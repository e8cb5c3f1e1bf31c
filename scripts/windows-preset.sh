# Sourced by the scripts that run the Windows build under Wine. Chooses the build: the 32-bit
# product where this host executes 32-bit programs, else the x86_64 build of the same code in a
# 64-bit prefix. Sets windows_preset and exports NEXVALE_WINE_BITS for the test world.
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
  windows_preset=win32
  export NEXVALE_WINE_BITS=32
else
  windows_preset=win64
  export NEXVALE_WINE_BITS=64
fi

# build_windows_tools TARGET...: configures the chosen build and builds the targets with the
# harness tool the test world starts from, which it exports.
build_windows_tools() {
  cmake --preset "$windows_preset" >/dev/null
  cmake --build --preset "$windows_preset" --target "$@" harness_tool >/dev/null
  export NEXVALE_HARNESS_TOOL=$PWD/build/$windows_preset/bin/harness_tool.exe
}
