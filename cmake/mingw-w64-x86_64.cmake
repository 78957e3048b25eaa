# SPDX-License-Identifier: Apache-2.0
# Cross build for 64-bit Windows with Debian's MinGW-w64 compilers (POSIX threads, which
# std::thread and Qt need). Used for Qt itself and for the project.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VYL_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VYL_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VYL_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${VYL_MINGW_TRIPLET}-windres)

# Libraries and headers only from the MinGW sysroot (and what CMAKE_PREFIX_PATH adds, such as
# the Qt built for Windows); programs such as moc run on the build machine.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${VYL_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
