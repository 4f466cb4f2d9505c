# Cross-compiles the Windows build (gravefall.scr) on Linux with Debian's MinGW-w64 compilers.
# The posix-thread variants give std::thread and friends; everything is linked statically so the
# .scr needs no MinGW DLLs. Libraries Debian does not ship for MinGW (GLFW, FreeType, GoogleTest)
# are built by scripts/build-windows into a prefix named by GRAVEFALL_WINDOWS_DEPS.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(GRAVEFALL_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${GRAVEFALL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${GRAVEFALL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${GRAVEFALL_MINGW_TRIPLE}-windres)

# try_compile re-reads this file in a fresh project: hand the prefix over through the environment.
if(NOT GRAVEFALL_WINDOWS_DEPS AND DEFINED ENV{GRAVEFALL_WINDOWS_DEPS})
  set(GRAVEFALL_WINDOWS_DEPS $ENV{GRAVEFALL_WINDOWS_DEPS})
endif()
if(NOT GRAVEFALL_WINDOWS_DEPS)
  if(DEFINED ENV{XDG_CACHE_HOME})
    set(GRAVEFALL_WINDOWS_DEPS $ENV{XDG_CACHE_HOME}/gravefall-windows/prefix)
  else()
    set(GRAVEFALL_WINDOWS_DEPS $ENV{HOME}/.cache/gravefall-windows/prefix)
  endif()
endif()
set(ENV{GRAVEFALL_WINDOWS_DEPS} ${GRAVEFALL_WINDOWS_DEPS})

set(CMAKE_FIND_ROOT_PATH /usr/${GRAVEFALL_MINGW_TRIPLE} ${GRAVEFALL_WINDOWS_DEPS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)  # generators (glad, python) run on the host
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Headers and data files are looked for in the Windows prefixes first; host-only data such as the
# embedded font is still found on the host. Header-only libraries are copied into the prefix so
# that no host include directory ever reaches a Windows compile.
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)

# pkg-config must see only the Windows prefix's .pc files, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} ${GRAVEFALL_WINDOWS_DEPS}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# GCC 12 reports a false -Wrestrict inside libstdc++'s string code at -O3 (its bug 105329).
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")

# One self-contained executable: no libgcc, libstdc++ or winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
