# What the two Windows cross builds share; their toolchain files
# (toolchain-mingw-i686.cmake, toolchain-mingw-x86_64.cmake) set
# CMAKE_SYSTEM_PROCESSOR to the target's processor and include this file.
#
# The -posix compilers: Debian's default (-win32) thread model in g++ 12
# lacks std::mutex, std::recursive_mutex and std::thread.
set(CMAKE_SYSTEM_NAME Windows)

set(TARVO_MINGW_TRIPLE ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32)
set(CMAKE_C_COMPILER   ${TARVO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARVO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TARVO_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TARVO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static zlib: CMake's own search prefers libz.dll.a, which would make the
# module import zlib1.dll, a DLL no host ships.
set(ZLIB_LIBRARY /usr/${TARVO_MINGW_TRIPLE}/lib/libz.a CACHE FILEPATH "static mingw zlib")
set(ZLIB_INCLUDE_DIR /usr/${TARVO_MINGW_TRIPLE}/include CACHE PATH "mingw zlib headers")
