# 64-bit Windows: the same sources, for running the Windows tests on hosts that cannot execute
# 32-bit Linux programs (and so cannot run 32-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(NEXVALE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake)
