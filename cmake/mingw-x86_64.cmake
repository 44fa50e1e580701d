# Cross-build for 64-bit Windows (x86-64): the same sources, for machines that
# cannot run 32-bit programs under Wine.
set(QUORVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
