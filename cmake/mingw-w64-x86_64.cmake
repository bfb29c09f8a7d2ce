# Cross-build for 64-bit Windows with Debian's MinGW-w64 (package g++-mingw-w64-x86-64-posix).
# The posix thread model gives std::thread and std::mutex. Programs use the compiler's runtime
# libraries as DLLs, laid beside them with Qt's (cmake/WindowsRuntime.cmake), so one C++
# runtime serves every module of the process.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(BRINMOR_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${BRINMOR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BRINMOR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BRINMOR_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${BRINMOR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
