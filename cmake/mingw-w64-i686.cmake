# Cross-compiling for 32-bit Windows with Debian's MinGW-w64 (packages
# g++-mingw-w64-i686-posix and binutils-mingw-w64-i686).  The arithmetic is
# done in SSE2, as on x86-64 and as every Windows since 8 requires of the
# processor, so that the 32-bit program computes exactly what the 64-bit
# one does, and its floating-point status is the SSE unit's.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KVIX_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include("${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake")
