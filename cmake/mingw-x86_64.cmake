# 64-bit Windows programs (Quillon64 and its tests).
set(ORRIVANE_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
