# Cross-compiling for Windows with Debian's MinGW-w64. MINGW_ARCH is x86_64 or i686.
if(NOT MINGW_ARCH)
    set(MINGW_ARCH x86_64)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES MINGW_ARCH)

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${MINGW_ARCH})
set(CMAKE_C_COMPILER ${MINGW_ARCH}-w64-mingw32-gcc)
set(CMAKE_CXX_COMPILER ${MINGW_ARCH}-w64-mingw32-g++)
set(CMAKE_RC_COMPILER ${MINGW_ARCH}-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Doubles computed in SSE2's 64 bits, not the x87's 80, so that a template's arithmetic gives the
# same number on both builds, and the same one GLib prints on Linux.
if(MINGW_ARCH STREQUAL i686)
    add_compile_options(-msse2 -mfpmath=sse)
endif()
