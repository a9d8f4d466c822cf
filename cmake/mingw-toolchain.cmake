# Cross build with mingw-w64 for the target that BV_MINGW_TRIPLE names,
# with the posix thread model (std::thread and std::mutex available; the
# thread library is linked statically like the rest of the runtime).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${BV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BV_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(BV_OBJDUMP ${BV_MINGW_TRIPLE}-objdump)
