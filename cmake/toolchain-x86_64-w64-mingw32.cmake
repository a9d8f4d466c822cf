# 64-bit Windows: the same sources, for fast test runs under the native
# wine64 loader.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(BV_MINGW_TRIPLE x86_64-w64-mingw32)
set(BV_WINE_LOADER /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
