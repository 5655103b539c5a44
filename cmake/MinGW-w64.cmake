# Cross build for 64-bit Windows with MinGW-w64 on a Linux host.
# The -posix compilers are used because the default win32-thread ones lack std::mutex and std::thread.
# Everything links statically, so the programs need no MinGW DLLs beside them. Windows programs built
# here (tests, build-time tools) run under Wine through RunUnderWine.sh.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TAVRO_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TAVRO_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TAVRO_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TAVRO_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TAVRO_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
# find_package(ZLIB) would otherwise pick the import library of zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/RunUnderWine.sh)
# Settings that need the project's languages enabled come right after project().
set(CMAKE_PROJECT_INCLUDE ${CMAKE_CURRENT_LIST_DIR}/MinGW-w64-Project.cmake)
