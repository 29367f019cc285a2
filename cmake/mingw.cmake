# Cross build of a Windows program with MinGW-w64, for the target triplet VORNKIT_MINGW_TRIPLET
# (set by mingw-i686.cmake or mingw-x86_64.cmake, which include this file). The program is built
# with the compilers' default (Win32) threads; VORNKIT_MINGW_THREADS=posix picks the variant whose
# library has std::mutex, which GoogleTest needs for the Windows layer's tests.
set(CMAKE_SYSTEM_NAME Windows)
if(VORNKIT_MINGW_THREADS STREQUAL "posix")
  set(CMAKE_C_COMPILER ${VORNKIT_MINGW_TRIPLET}-gcc-posix)
  set(CMAKE_CXX_COMPILER ${VORNKIT_MINGW_TRIPLET}-g++-posix)
else()
  set(CMAKE_C_COMPILER ${VORNKIT_MINGW_TRIPLET}-gcc)
  set(CMAKE_CXX_COMPILER ${VORNKIT_MINGW_TRIPLET}-g++)
endif()
set(CMAKE_RC_COMPILER ${VORNKIT_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VORNKIT_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
