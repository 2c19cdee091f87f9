# The product's i686 toolchain with the posix-thread compilers, which GoogleTest needs.
include(${CMAKE_CURRENT_LIST_DIR}/../../cmake/toolchain-i686-mingw.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
