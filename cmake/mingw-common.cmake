# What both MinGW-w64 toolchains share; BALDRIX_TRIPLE names the compiler set.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${BALDRIX_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${BALDRIX_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${BALDRIX_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${BALDRIX_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# Packages (GoogleTest among them) only from the cross tree, never the host's.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
