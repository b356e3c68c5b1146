# 64-bit Windows programs, tested here under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLMORE_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-w64.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/harness/wine-run)
