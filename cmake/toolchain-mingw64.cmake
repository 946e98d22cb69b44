# Cross build for 64-bit Windows with MinGW-w64. The POSIX-threads compilers are required: the
# win32-threads variant lacks std::thread and std::mutex. The C and C++ runtimes and winpthread
# are linked statically so the programs need no DLL beyond Windows' own (and OpenSSL's, which
# Tradewire loads at run time).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_AR ${TOOLCHAIN_PREFIX}-ar CACHE FILEPATH "")
set(CMAKE_RANLIB ${TOOLCHAIN_PREFIX}-ranlib CACHE FILEPATH "")

# Windows builds of TinyXML, OpenSSL and GoogleTest made by scripts/windows-deps.sh.
if(NOT TRADEWIRE_WINDOWS_DEPS)
  set(TRADEWIRE_WINDOWS_DEPS ${CMAKE_BINARY_DIR}/deps/prefix)
endif()
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX} ${TRADEWIRE_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# Programs built here run under Wine on this machine (test discovery and ctest), with the build
# folder's own Wine prefix; the OpenSSL DLLs are copied beside them (cmake/OpenSslRuntime.cmake).
find_program(TRADEWIRE_WINE NAMES wine wine64)
if(TRADEWIRE_WINE)
  get_filename_component(TRADEWIRE_SOURCE_ROOT ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
  set(CMAKE_CROSSCOMPILING_EMULATOR bash ${TRADEWIRE_SOURCE_ROOT}/scripts/wine-run.sh
      ${CMAKE_BINARY_DIR})
endif()
