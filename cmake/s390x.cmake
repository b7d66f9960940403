# Cross build for big-endian 64-bit IBM Z Linux (package g++-s390x-linux-gnu), run through qemu-user.
set(CMAKE_SYSTEM_PROCESSOR s390x)
set(triple s390x-linux-gnu)
set(qemu qemu-s390x)
set(deb_architecture s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
