# What the two MinGW-w64 toolchain files share; they set KVIX_MINGW_TRIPLET.
set(CMAKE_CXX_COMPILER "${KVIX_MINGW_TRIPLET}-g++-posix")
set(CMAKE_RC_COMPILER "${KVIX_MINGW_TRIPLET}-windres")
set(CMAKE_FIND_ROOT_PATH "/usr/${KVIX_MINGW_TRIPLET}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Each function and datum in a section of its own, so that the linker drops
# what nothing uses from the program and the runtimes.
set(CMAKE_CXX_FLAGS_INIT "-ffunction-sections -fdata-sections")
# The C and C++ runtimes and the threads library linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++ -Wl,--gc-sections")
