# Cross-building Zerova for 64-bit Windows with Debian's MinGW-w64 (the POSIX
# thread model, which std::thread needs), statically: one zerova.exe that needs
# no DLL beside it. scripts/windows.sh uses it through the preset `windows`,
# with ZEROVA_WINDOWS_PREFIX naming the folder its libraries were built into
# (scripts/windows-libs.sh). Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZEROVA_MINGW x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZEROVA_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZEROVA_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${ZEROVA_MINGW}-windres)

set(ZEROVA_WINDOWS_PREFIX "$ENV{ZEROVA_WINDOWS_PREFIX}" CACHE PATH
  "The folder holding the libraries built for Windows (scripts/windows-libs.sh)")
set(CMAKE_FIND_ROOT_PATH /usr/${ZEROVA_MINGW} ${ZEROVA_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# pkg-config looks at the prefix's .pc files alone, never at the build machine's.
set(ENV{PKG_CONFIG_LIBDIR} "${ZEROVA_WINDOWS_PREFIX}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Release is -O2, as the Linux build's RelWithDebInfo (-O3 makes GCC 12 warn
# falsely inside the standard library's strings).
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")

# One static program: the C and C++ runtimes and winpthreads inside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The tests' programs run under Wine (scripts/wine-run.sh sets its prefix up).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
