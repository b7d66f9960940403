# What the Linux cross builds share: Debian's cross compiler for `triple`, its libraries under
# /usr/<triple>, and the program run through qemu-user. Included by arm64.cmake, armhf.cmake and
# s390x.cmake, which set CMAKE_SYSTEM_PROCESSOR, `triple`, `qemu` and `deb_architecture`.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_CXX_COMPILER ${triple}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu} -L /usr/${triple})
# The Debian package's Architecture; it is not this machine's.
set(LISTMENU_DEB_ARCHITECTURE ${deb_architecture} CACHE STRING "Architecture of the Debian package")
