# Cross build for 64-bit ARM Linux (Raspberry Pi OS 64-bit, ARM laptops and servers; package
# g++-aarch64-linux-gnu), run through qemu-user.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(triple aarch64-linux-gnu)
set(qemu qemu-aarch64)
set(deb_architecture arm64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
