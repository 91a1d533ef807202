# 32-bit Windows programs (ZAV, ZAVSet and their tests).
set(ORRIVANE_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
