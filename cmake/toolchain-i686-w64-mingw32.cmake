# 32-bit Windows: the product DLL as users ship it. Its tests run under
# 32-bit Wine.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(BV_MINGW_TRIPLE i686-w64-mingw32)
set(BV_WINE_LOADER /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-toolchain.cmake)
