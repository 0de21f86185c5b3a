# A cross build with one of Debian's cross toolchains, its programs and
# tests run under qemu-user:
#   DATES_TRIPLET  the toolchain's triplet (s390x-linux-gnu, arm-linux-gnueabihf)
#   DATES_QEMU     qemu-user's name for the processor (s390x, arm)
#   DATES_GTEST    where GoogleTest built for that processor is installed
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${DATES_QEMU})
set(CMAKE_CXX_COMPILER ${DATES_TRIPLET}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${DATES_TRIPLET} ${DATES_GTEST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The target's C library for what is dynamically linked (the tests).
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${DATES_QEMU}-static -L /usr/${DATES_TRIPLET})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES DATES_TRIPLET DATES_QEMU DATES_GTEST)
