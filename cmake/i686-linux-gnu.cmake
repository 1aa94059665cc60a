# 32-bit x86 Linux through Debian's cross compiler: the library's i686 code (the
# x87 variants, the SSE and SSE2 ones) and its tests, run under the user-mode
# emulator with the CPUID of a chosen processor (QEMU_CPU), also where the
# kernel executes no 32-bit code.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOL_PREFIX i686-linux-gnu)
set(CMAKE_C_COMPILER   ${TOOL_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${TOOL_PREFIX}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOL_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The programs run on the i386 architecture's own runtime (libc6:i386 and
# libstdc++6:i386 in /lib/i386-linux-gnu): under the emulator the cross
# compiler's copy of the C library hangs in the first thread it starts.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-i386)
