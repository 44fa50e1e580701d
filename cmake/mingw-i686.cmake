# Cross-build for 32-bit Windows: the shipped programs.
set(QUORVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
