# Cross build for 32-bit ARM Linux with hardware floating point (older Raspberry Pi boards; package
# g++-arm-linux-gnueabihf), run through qemu-user. The one 32-bit build.
set(CMAKE_SYSTEM_PROCESSOR arm)
set(triple arm-linux-gnueabihf)
set(qemu qemu-arm)
set(deb_architecture armhf)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
