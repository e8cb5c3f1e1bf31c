# 32-bit Windows: the product's target.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(NEXVALE_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
