# The 32-bit data model of the shipped program (32-bit pointers, size_t and
# long) on Linux: a static -m32 build that runs under user-mode emulation.
# Large files and 64-bit times as the Windows build has them. The floating
# point stays x87, as in the shipped build, so the tests see what it computes.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_CXX_FLAGS_INIT "-m32 -D_FILE_OFFSET_BITS=64 -D_TIME_BITS=64")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-m32 -static")
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-i386-static)
