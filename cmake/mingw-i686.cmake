# 32-bit Windows, the deliverable. Its tests run under 32-bit Wine; scripts/wine-run
# answers "not run" (77) for them on a host that runs no 32-bit code.
set(BALDRIX_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run --32)
